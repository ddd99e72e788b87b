#pragma once

#include "externalreceiver.h"

#include <QDialog>

#include <memory>

struct AppContext;
class QLineEdit;
namespace Ui
{
class Tfrm_kulso;
}

// Receiving an external report: open the file, check its syntax and content, and make a
// report of this program from it, every step writing into the memo. The employer of the file
// is shown beside its register row, whose values can be taken over from the file.
class Tfrm_kulso : public QDialog
{
    Q_OBJECT
public:
    explicit Tfrm_kulso(AppContext &context, QWidget *parent = nullptr);
    ~Tfrm_kulso() override;

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void reset();
    void MegnyitClick();
    void bbtn_szellClick();
    void bbtn_jellClick();
    void KeszitClick();
    void bbtn_frissitClick();
    void Atemel(QLineEdit *field);
    void showHeader(const ExternalReceiver::Opened &opened, bool whole);
    void showRegister(const ExternalReceiver::Opened &opened);
    void lockRegister();
    void write(const QList<MemoLine> &lines);
    void message(const QString &text, bool error = false);
    QList<QLineEdit *> headerEdits() const;
    QList<QLineEdit *> registerEdits() const;
    QString folderSetting() const;

    std::unique_ptr<Ui::Tfrm_kulso> ui;
    AppContext &m_context;
    ExternalReceiver m_receiver;
    ExternalReceiver::Opened m_opened;
    bool m_prisonService = false;
    bool m_shown = false;
};
