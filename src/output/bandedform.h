#pragma once

#include <QFont>
#include <QPainter>
#include <QString>

#include <functional>

class QPagedPaintDevice;

// A printed form of bands on A4 portrait pages: a title band once, a detail band per data row,
// a page footer band on every page; a detail band that does not fit above the footer starts a
// new page. Coordinates are tenths of a millimetre from the page's top left corner.
class BandedForm
{
public:
    static constexpr int PageWidth = 2100;
    static constexpr int PageHeight = 2970;
    static constexpr int Margin = 150;

    // Paints the band at the top of its area; the page number counts from 1.
    struct Context {
        QPainter &painter;
        int top;
        int page;
    };
    using Band = std::function<void(Context &)>;
    using Detail = std::function<void(Context &, int row)>;

    void setTitle(int height, Band band);
    void setDetail(int height, int rows, Detail band);
    void setFooter(int height, Band band);

    // Paints every page; false when the device cannot be painted on.
    bool render(QPagedPaintDevice *device) const;
    int pageCount() const;

    // A font of a size in points, for the form's coordinates.
    static QFont font(int points, bool bold = false, bool italic = false);
    // A caption in bold and its value after it on one line, within width (0: no limit).
    static void pair(QPainter &p, int x, int y, const QString &caption, const QString &value,
                     int width = 0, int points = 10);
    static void text(QPainter &p, int x, int y, const QString &text, const QFont &font);

private:
    int m_titleHeight = 0, m_detailHeight = 0, m_footerHeight = 0, m_rows = 0;
    Band m_title, m_footer;
    Detail m_detail;
};
