// Paints the program's icon (the drawing of tarvik.svg) as PNG files of the sizes a desktop
// asks for: tarvik_icon OUTDIR SIZE...
#include <QColor>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: tarvik_icon OUTDIR SIZE...\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    for (int i = 2; i < argc; ++i) {
        const int size = std::atoi(argv[i]);
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(size / 256.0, size / 256.0);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x1f, 0x5f, 0x99));
        p.drawRoundedRect(QRectF(16, 16, 224, 224), 40, 40);
        QPainterPath sheet;
        sheet.moveTo(72, 48);
        sheet.lineTo(164, 48);
        sheet.lineTo(196, 80);
        sheet.lineTo(196, 208);
        sheet.lineTo(72, 208);
        sheet.closeSubpath();
        p.fillPath(sheet, Qt::white);
        QPainterPath fold;
        fold.moveTo(164, 48);
        fold.lineTo(164, 80);
        fold.lineTo(196, 80);
        fold.closeSubpath();
        p.fillPath(fold, QColor(0xc9, 0xd9, 0xea));
        p.setBrush(QColor(0x1f, 0x5f, 0x99));
        p.drawRect(QRectF(92, 84, 84, 20));
        p.drawRect(QRectF(124, 84, 20, 96));
        p.setBrush(QColor(0x3f, 0x9a, 0x4a));
        p.drawRect(QRectF(92, 188, 84, 8));
        p.end();
        const QString dir = QStringLiteral("%1x%1").arg(size);
        out.mkpath(dir);
        if (!image.save(out.filePath(dir + QStringLiteral("/tarvik.png")))) return 1;
    }
    return 0;
}
