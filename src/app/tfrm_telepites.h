#pragma once

#include <QDialog>

#include <memory>

namespace Ui
{
class Tfrm_telepites;
}

// The first-start offer: the password of ADMIN for a new installation in the named folder.
class Tfrm_telepites : public QDialog
{
    Q_OBJECT
public:
    explicit Tfrm_telepites(const QString &folder, QWidget *parent = nullptr);
    ~Tfrm_telepites() override;

    QString password() const;
    // Whether an older installation is to be taken over once the new one is made.
    bool takeOver() const;

private:
    void bbtn_okClick();

    std::unique_ptr<Ui::Tfrm_telepites> ui;
};
