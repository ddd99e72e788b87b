#include "bandedform.h"

#include "appfonts.h"

#include <QPagedPaintDevice>

void BandedForm::setTitle(int height, Band band)
{
    m_titleHeight = height;
    m_title = std::move(band);
}

void BandedForm::setDetail(int height, int rows, Detail band)
{
    m_detailHeight = height;
    m_rows = rows;
    m_detail = std::move(band);
}

void BandedForm::setFooter(int height, Band band)
{
    m_footerHeight = height;
    m_footer = std::move(band);
}

int BandedForm::pageCount() const
{
    const int bottom = PageHeight - Margin - m_footerHeight;
    int pages = 1;
    int y = Margin + m_titleHeight;
    for (int row = 0; row < m_rows; ++row) {
        if (y + m_detailHeight > bottom && y > Margin) {
            ++pages;
            y = Margin;
        }
        y += m_detailHeight;
    }
    return pages;
}

bool BandedForm::render(QPagedPaintDevice *device) const
{
    device->setPageSize(QPageSize(QPageSize::A4));
    device->setPageOrientation(QPageLayout::Portrait);
    device->setPageMargins(QMarginsF(0, 0, 0, 0));
    QPainter painter;
    if (!painter.begin(device)) return false;
    const QRect viewport = painter.viewport();
    painter.setWindow(0, 0, PageWidth, PageHeight);
    painter.setViewport(viewport);
    painter.setRenderHint(QPainter::TextAntialiasing);

    const int bottom = PageHeight - Margin - m_footerHeight;
    int page = 1;
    auto footer = [&] {
        if (!m_footer) return;
        Context c{painter, bottom, page};
        m_footer(c);
    };
    int y = Margin;
    if (m_title) {
        Context c{painter, y, page};
        m_title(c);
        y += m_titleHeight;
    }
    for (int row = 0; row < m_rows; ++row) {
        if (y + m_detailHeight > bottom && y > Margin) {
            footer();
            if (!device->newPage()) return false;
            ++page;
            y = Margin;
        }
        Context c{painter, y, page};
        m_detail(c, row);
        y += m_detailHeight;
    }
    footer();
    return painter.end();
}

QFont BandedForm::font(int points, bool bold, bool italic)
{
    AppFonts::ensureLoaded();
    QFont f(QStringLiteral("DejaVu Sans"));
    // Points to tenths of a millimetre: the painter's window is in those units.
    f.setPixelSize(qRound(points * 254.0 / 72.0));
    f.setBold(bold);
    f.setItalic(italic);
    return f;
}

void BandedForm::text(QPainter &p, int x, int y, const QString &text, const QFont &font)
{
    p.setFont(font);
    p.drawText(QPoint(x, y + QFontMetrics(font).ascent()), text);
}

void BandedForm::pair(QPainter &p, int x, int y, const QString &caption, const QString &value,
                      int width, int points)
{
    text(p, x, y, caption, font(points, true));
    const int captionWidth = p.fontMetrics().horizontalAdvance(caption + u' ');
    // A value too long for its column is set smaller, down to two thirds of its size, so that
    // the whole of it is printed; only what still does not fit is shortened. It never runs
    // into the next column.
    QFont valueFont = font(points);
    const int room = width - captionWidth;
    if (width > 0) {
        const int smallest = valueFont.pixelSize() * 2 / 3;
        while (valueFont.pixelSize() > smallest &&
               QFontMetrics(valueFont).horizontalAdvance(value) > room)
            valueFont.setPixelSize(valueFont.pixelSize() - 1);
    }
    p.setFont(valueFont);
    const QString shown =
        width > 0 ? p.fontMetrics().elidedText(value, Qt::ElideRight, room) : value;
    p.drawText(QPoint(x + captionWidth, y + p.fontMetrics().ascent()), shown);
}
