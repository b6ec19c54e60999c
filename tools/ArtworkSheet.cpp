// Writes every picture of the catalogue (resources/Artwork.h) as a PNG file into a folder, named
// <kind>-<id>.png, so the artwork can be looked at without running the program. Runs offscreen.
#include "resources/Artwork.h"

#include <QDir>
#include <QGuiApplication>
#include <QPainter>

#include <cstdio>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: artwork-sheet FOLDER\n");
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    if (!dir.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "artwork-sheet: cannot make %s\n", argv[1]);
        return 1;
    }
    static const char* const kinds[] = {"png", "bitmap", "icon", "cursor"};
    int failed = 0;
    for (const ArtworkEntry& entry : ArtworkCatalogue()) {
        const QString name =
            QStringLiteral("%1-%2.png").arg(QLatin1String(kinds[static_cast<int>(entry.kind)])).arg(entry.id);
        if (!Artwork(entry.kind, entry.id).save(dir.filePath(name))) {
            std::fprintf(stderr, "artwork-sheet: cannot write %s\n", qPrintable(name));
            ++failed;
        }
    }
    // One sheet with the small pictures side by side, each with its kind and id, on a mid grey.
    QImage sheet(1200, 900, QImage::Format_ARGB32);
    sheet.fill(QColor(128, 128, 128));
    QPainter painter(&sheet);
    int x = 8, y = 8, rowHeight = 0;
    for (const ArtworkEntry& entry : ArtworkCatalogue()) {
        if (entry.size.width() > 160 || entry.size.height() > 160)
            continue;
        const QSize cell(std::max(entry.size.width(), 56), entry.size.height() + 14);
        if (x + cell.width() > sheet.width()) {
            x = 8;
            y += rowHeight + 8;
            rowHeight = 0;
        }
        painter.drawImage(x, y, Artwork(entry.kind, entry.id));
        painter.setPen(Qt::black);
        painter.drawText(
            QRect(x, y + entry.size.height(), cell.width(), 14), Qt::AlignLeft,
            QStringLiteral("%1%2").arg(QLatin1Char(kinds[static_cast<int>(entry.kind)][0])).arg(entry.id));
        x += cell.width() + 8;
        rowHeight = std::max(rowHeight, cell.height());
    }
    painter.end();
    if (!sheet.copy(0, 0, sheet.width(), std::min(sheet.height(), y + rowHeight + 8))
             .save(dir.filePath(QStringLiteral("sheet.png"))))
        ++failed;
    return failed == 0 ? 0 : 1;
}
