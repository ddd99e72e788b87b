#include "tfrm_sugo.h"
#include "ui_tfrm_sugo.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QUrl>

namespace
{
QString folderOrBuiltIn(const QString &folder)
{
    return QDir(folder).entryList({QStringLiteral("*.html")}).isEmpty() ? QStringLiteral(":/help")
                                                                        : folder;
}
} // namespace

Tfrm_sugo::Tfrm_sugo(const QString &folder, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::Tfrm_sugo>()), m_folder(folderOrBuiltIn(folder))
{
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    ui->spl_sugo->setStretchFactor(1, 1);
    ui->brw_oldal->setSearchPaths({m_folder});
    m_pages = readPages(m_folder);
    for (const Page &page : m_pages) {
        auto *item = new QListWidgetItem(page.title, ui->lbx_tartalom);
        item->setData(Qt::UserRole, page.file);
    }
    connect(ui->lbx_tartalom, &QListWidget::currentItemChanged, this,
            [this](QListWidgetItem *item) {
                if (item) showPage(item->data(Qt::UserRole).toString());
            });
    connect(ui->lbx_talalat, &QListWidget::itemActivated, this,
            [this](QListWidgetItem *item) { showPage(item->data(Qt::UserRole).toString()); });
    connect(ui->lbx_talalat, &QListWidget::itemClicked, this,
            [this](QListWidgetItem *item) { showPage(item->data(Qt::UserRole).toString()); });
    connect(ui->ed_kulcsszo, &QLineEdit::textChanged, this, &Tfrm_sugo::ed_kulcsszoChange);
    if (ui->lbx_tartalom->count() > 0) ui->lbx_tartalom->setCurrentRow(0);
    ed_kulcsszoChange(QString());
}

Tfrm_sugo::~Tfrm_sugo() = default;

QList<Tfrm_sugo::Page> Tfrm_sugo::readPages(const QString &folder)
{
    static const QRegularExpression title(QStringLiteral("<title>(.*?)</title>"),
                                          QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression keywords(
        QStringLiteral("<meta\\s+name=\"keywords\"\\s+content=\"([^\"]*)\""),
        QRegularExpression::CaseInsensitiveOption);
    QList<Page> pages;
    const QDir dir(folder);
    for (const QString &file : dir.entryList({QStringLiteral("*.html")}, QDir::Files, QDir::Name)) {
        QFile in(dir.filePath(file));
        if (!in.open(QIODevice::ReadOnly)) continue;
        const QString html = QString::fromUtf8(in.readAll());
        Page page{file, file, {}};
        if (auto m = title.match(html); m.hasMatch()) page.title = m.captured(1).trimmed();
        if (auto m = keywords.match(html); m.hasMatch())
            for (const QString &k : m.captured(1).split(u';', Qt::SkipEmptyParts))
                page.keywords << k.trimmed();
        pages << page;
    }
    return pages;
}

QList<QPair<QString, QString>> Tfrm_sugo::search(const QList<Page> &pages, const QString &text)
{
    QList<QPair<QString, QString>> hits;
    for (const Page &page : pages)
        for (const QString &k : page.keywords)
            if (k.contains(text.trimmed(), Qt::CaseInsensitive)) hits << qMakePair(k, page.file);
    std::sort(hits.begin(), hits.end(), [](const auto &a, const auto &b) {
        return QString::localeAwareCompare(a.first, b.first) < 0;
    });
    return hits;
}

void Tfrm_sugo::showSearch(const QString &keyword)
{
    ui->ntb_sugo->setCurrentWidget(ui->tab_kereses);
    ui->ed_kulcsszo->setText(keyword);
    ui->ed_kulcsszo->setFocus();
}

void Tfrm_sugo::showPage(const QString &file)
{
    ui->brw_oldal->setSource(QUrl(file));
}

void Tfrm_sugo::ed_kulcsszoChange(const QString &text)
{
    ui->lbx_talalat->clear();
    for (const auto &[keyword, file] : search(m_pages, text)) {
        auto *item = new QListWidgetItem(keyword, ui->lbx_talalat);
        item->setData(Qt::UserRole, file);
    }
}
