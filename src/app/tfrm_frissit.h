#pragma once

#include <QDialog>

#include <memory>

struct AppContext;
class QTimer;
namespace Ui
{
class Tfrm_frissit;
}

// Downloads a chosen program version, which is then started in place of this program, or the
// reference file package into text/.
class Tfrm_frissit : public QDialog
{
    Q_OBJECT
public:
    explicit Tfrm_frissit(AppContext &context, QWidget *parent = nullptr);
    ~Tfrm_frissit() override;

    // Whether a download is running (the "Vissza" button then stops it).
    bool downloading() const { return m_downloading; }

protected:
    void showEvent(QShowEvent *event) override;
    // Esc or the window's close button stop a running download instead of closing.
    void reject() override;

private:
    void Timer1Timer();
    void bbtn_letolt1Click();
    void bbtn_letolt2Click();
    bool download(const QString &remote, const QString &local, qint64 maxBytes);
    void bbtn_visszaClick();
    QString failure(const QString &remote) const;

    std::unique_ptr<Ui::Tfrm_frissit> ui;
    AppContext &m_context;
    QTimer *m_timer;
    bool m_closeAtOnce = false;
    bool m_downloading = false, m_stop = false;
    // How long a download may wait for the site before it fails.
    static constexpr int IdleLimitMs = 5000;
};
