#pragma once

#include <QDialog>
#include <QList>

#include <memory>

namespace Ui
{
class Tfrm_sugo;
}

// The help: HTML pages of the installation's Sugo folder, with contents and keyword search.
class Tfrm_sugo : public QDialog
{
    Q_OBJECT
public:
    struct Page {
        QString file, title;
        QStringList keywords;
    };

    explicit Tfrm_sugo(const QString &folder, QWidget *parent = nullptr);
    ~Tfrm_sugo() override;

    void showSearch(const QString &keyword);
    // Pages in file-name order, with the title and keywords each declares in its head.
    static QList<Page> readPages(const QString &folder);
    // Keywords containing the text (all when empty), with the pages they lead to.
    static QList<QPair<QString, QString>> search(const QList<Page> &pages, const QString &text);

private:
    void showPage(const QString &file);
    void ed_kulcsszoChange(const QString &text);

    std::unique_ptr<Ui::Tfrm_sugo> ui;
    QString m_folder;
    QList<Page> m_pages;
};
