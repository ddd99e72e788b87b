#pragma once

#include <QDialog>

#include <memory>

struct AppContext;
class QSpinBox;
namespace Ui
{
class Tfrm_beallit;
}

// The three default folders of report files and the copy counts of the two printed forms,
// written to the settings as soon as they change.
class Tfrm_beallit : public QDialog
{
    Q_OBJECT
public:
    explicit Tfrm_beallit(AppContext &context, QWidget *parent = nullptr);
    ~Tfrm_beallit() override;

    // The folder written when the setting is empty.
    static QString defaultFolder(const QString &name, const QString &programFolder);

private:
    void chooseFolder(int which);
    void spinChange(QSpinBox *spin, const QString &name);

    std::unique_ptr<Ui::Tfrm_beallit> ui;
    AppContext &m_context;
    int m_which = 0; // 0 report folder, 1 repeated reports, 2 external reports
};
