// SPDX-License-Identifier: GPL-3.0-or-later
// Draws the desktop program's images and writes them as PNG files:
//   icon_strip.png      the eleven 16x16 images shared by the list, the tree and the error log
//   toolbar.png         the nine 16x16 toolbar images, in toolbar order
//   NAME@2x.png         the two strips drawn again at twice the size, for scale factor 2
//   korvalin-N.png      the program icon at 16, 32, 48 and 128 pixels
//   drag_cursor.png     the cursor shown while a file row is dragged (hot spot 0,0)
// Usage: korvalin_draw_icons OUTPUT_FOLDER (normally src/ui/resources).

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

const QColor kOutline(64, 64, 64);
const QColor kFolderFill(246, 200, 72);
const QColor kFolderLight(252, 224, 132);
const QColor kFolderEdge(150, 108, 0);
const QColor kWindowBlue(31, 79, 176);

// 3x5 (M: 5x5) pixel glyphs for the tiny texts on the icons.
const std::map<char, std::vector<std::string>> kGlyphs = {
    {'1', {".#.", "##.", ".#.", ".#.", "###"}}, {'2', {"##.", "..#", ".#.", "#..", "###"}},
    {'3', {"##.", "..#", ".#.", "..#", "##."}}, {'S', {".##", "#..", ".#.", "..#", "##."}},
    {'Y', {"#.#", "#.#", ".#.", ".#.", ".#."}}, {'I', {"#", "#", "#", "#", "#"}},
    {'M', {"#...#", "##.##", "#.#.#", "#...#", "#...#"}},
    {'G', {".###", "#...", "#.##", "#..#", ".###"}},
};

// The glyphs' pixels become `scale` x `scale` blocks in a larger rendering.
void PixelText(QImage& image, int x, int y, const std::string& text, QColor color, int scale = 1) {
    for (char c : text) {
        const std::vector<std::string>& rows = kGlyphs.at(c);
        for (size_t r = 0; r < rows.size(); ++r) {
            for (size_t col = 0; col < rows[r].size(); ++col) {
                if (rows[r][col] != '#') continue;
                for (int dy = 0; dy < scale; ++dy) {
                    for (int dx = 0; dx < scale; ++dx) {
                        image.setPixelColor((x + int(col)) * scale + dx, (y + int(r)) * scale + dy,
                                            color);
                    }
                }
            }
        }
        x += int(rows[0].size()) + 1;
    }
}

QImage Blank(int width, int height) {
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    return image;
}

// Each drawer paints one 16x16 cell whose top-left corner is the origin.
void Disc(QPainter& p, double cx = 7.5, double cy = 7.5, double r = 7.2) {
    p.setRenderHint(QPainter::Antialiasing, true);
    QRadialGradient sheen(cx - 2, cy - 2, r * 1.4);
    sheen.setColorAt(0.0, QColor(255, 255, 255));
    sheen.setColorAt(0.45, QColor(206, 220, 236));
    sheen.setColorAt(0.7, QColor(232, 206, 236));
    sheen.setColorAt(1.0, QColor(168, 176, 190));
    p.setPen(QPen(QColor(96, 100, 112), 1.0));
    p.setBrush(sheen);
    p.drawEllipse(QPointF(cx, cy), r, r);
    p.setPen(QPen(QColor(150, 156, 170), 0.8));
    p.setBrush(QColor(226, 230, 236));
    p.drawEllipse(QPointF(cx, cy), r * 0.36, r * 0.36);
    p.setCompositionMode(QPainter::CompositionMode_Clear);
    p.drawEllipse(QPointF(cx, cy), r * 0.14, r * 0.14);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p.setRenderHint(QPainter::Antialiasing, false);
}

void ClosedFolder(QPainter& p) {
    p.setPen(kFolderEdge);
    p.setBrush(kFolderFill.darker(115));
    p.drawRect(1, 2, 5, 2);
    p.setBrush(kFolderFill);
    p.drawRect(1, 4, 13, 9);
    p.setPen(kFolderLight);
    p.drawLine(2, 5, 13, 5);
}

void OpenFolder(QPainter& p) {
    p.setPen(kFolderEdge);
    p.setBrush(kFolderFill.darker(115));
    p.drawRect(1, 2, 5, 2);
    p.drawRect(1, 4, 12, 9);
    p.setBrush(kFolderLight);
    p.drawPolygon(QPolygon({QPoint(4, 7), QPoint(15, 7), QPoint(12, 13), QPoint(1, 13)}));
}

void Page(QPainter& p) {
    p.setPen(kOutline);
    p.setBrush(Qt::white);
    p.drawPolygon(QPolygon({QPoint(3, 1), QPoint(10, 1), QPoint(13, 4), QPoint(13, 14),
                            QPoint(3, 14)}));
    p.setBrush(QColor(210, 210, 210));
    p.drawPolygon(QPolygon({QPoint(10, 1), QPoint(10, 4), QPoint(13, 4)}));
}

void Window(QPainter& p) {
    p.setPen(kWindowBlue.darker(140));
    p.setBrush(Qt::white);
    p.drawRect(0, 2, 15, 11);
    p.fillRect(1, 3, 14, 2, kWindowBlue);
}

void UpArrow(QPainter& p, int x, int y, QColor color) {
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawPolygon(QPolygon({QPoint(x + 3, y), QPoint(x + 7, y + 4), QPoint(x - 1, y + 4)}));
    p.fillRect(x + 2, y + 4, 3, 4, color);
}

// A green arrow pointing down into the cell: taken in from disk.
void DownArrow(QPainter& p, int x, int y) {
    const QColor green(24, 140, 40);
    p.setPen(Qt::NoPen);
    p.setBrush(green);
    p.fillRect(x + 2, y, 3, 4, green);
    p.drawPolygon(QPolygon({QPoint(x, y + 4), QPoint(x + 7, y + 4), QPoint(x + 3, y + 8)}));
}

void Plus(QPainter& p, int x, int y) {
    const QColor green(24, 140, 40);
    p.fillRect(x, y + 2, 6, 2, green);
    p.fillRect(x + 2, y, 2, 6, green);
}

void Tag(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(QColor(140, 96, 40), 1.0));
    p.setBrush(QColor(255, 236, 170));
    p.drawPolygon(QPolygonF({QPointF(0.5, 3.5), QPointF(11.5, 3.5), QPointF(15.5, 7.5),
                             QPointF(11.5, 11.5), QPointF(0.5, 11.5)}));
    p.setRenderHint(QPainter::Antialiasing, false);
}

void WarningTriangle(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(QColor(120, 90, 0), 1.0));
    p.setBrush(QColor(255, 212, 0));
    p.drawPolygon(QPolygonF({QPointF(7.5, 0.8), QPointF(15.2, 14.5), QPointF(0.2, 14.5)}));
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(7, 5, 2, 5, Qt::black);
    p.fillRect(7, 11, 2, 2, Qt::black);
}

void ErrorCircle(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(QColor(128, 0, 0), 1.0));
    p.setBrush(QColor(212, 20, 20));
    p.drawEllipse(QPointF(7.5, 7.5), 7.0, 7.0);
    p.setPen(QPen(Qt::white, 2.0, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(4.6, 4.6), QPointF(10.4, 10.4));
    p.drawLine(QPointF(10.4, 4.6), QPointF(4.6, 10.4));
    p.setRenderHint(QPainter::Antialiasing, false);
}

void GreyArrow(QPainter& p) {
    p.setPen(QColor(80, 80, 80));
    p.setBrush(QColor(160, 160, 160));
    p.drawPolygon(QPolygon({QPoint(1, 5), QPoint(8, 5), QPoint(8, 1), QPoint(14, 7),
                            QPoint(8, 13), QPoint(8, 9), QPoint(1, 9)}));
}

void Floppy(QPainter& p) {
    p.setPen(QColor(20, 30, 70));
    p.setBrush(QColor(48, 72, 150));
    p.drawPolygon(QPolygon({QPoint(1, 1), QPoint(13, 1), QPoint(14, 2), QPoint(14, 14),
                            QPoint(1, 14)}));
    p.fillRect(4, 2, 8, 5, Qt::white);
    p.fillRect(5, 10, 6, 4, QColor(190, 190, 196));
    p.fillRect(9, 11, 1, 2, QColor(48, 72, 150));
}

void Pencil(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(QColor(90, 60, 0), 0.8));
    p.setBrush(QColor(250, 190, 40));
    p.drawPolygon(QPolygonF({QPointF(13.5, 4.0), QPointF(15.5, 6.0), QPointF(8.0, 13.5),
                             QPointF(6.0, 11.5)}));
    p.setBrush(QColor(40, 40, 40));
    p.drawPolygon(QPolygonF({QPointF(6.0, 11.5), QPointF(8.0, 13.5), QPointF(5.0, 14.5)}));
    p.setRenderHint(QPainter::Antialiasing, false);
}

QImage IconStrip(int scale) {
    QImage strip = Blank(16 * 11 * scale, 16 * scale);
    QPainter p(&strip);
    p.scale(scale, scale);
    auto cell = [&](int index, auto&& draw) {
        p.save();
        p.translate(16 * index, 0);
        draw();
        p.restore();
    };
    cell(0, [&] { Disc(p); });
    cell(1, [&] { ClosedFolder(p); });
    cell(2, [&] { OpenFolder(p); });
    cell(3, [&] { Page(p); });
    cell(4, [&] { Window(p); });
    cell(5, [&] { Window(p); });
    cell(6, [&] {
        ClosedFolder(p);
        UpArrow(p, 5, 5, QColor(24, 120, 40));
    });
    cell(7, [&] { Tag(p); });
    cell(8, [&] { WarningTriangle(p); });
    cell(9, [&] { ErrorCircle(p); });
    cell(10, [&] { GreyArrow(p); });
    p.end();
    PixelText(strip, 16 * 4 + 2, 7, "123", Qt::black, scale);
    PixelText(strip, 16 * 5 + 2, 7, "SYS", QColor(150, 0, 0), scale);
    PixelText(strip, 16 * 7 + 1, 5, "IMG", Qt::black, scale);
    return strip;
}

// New, Open, Save, Compile, Edit Volume Label, Create Directory, Create Dummy
// File, Add Files, Add Folder.
QImage Toolbar(int scale) {
    QImage strip = Blank(16 * 9 * scale, 16 * scale);
    QPainter p(&strip);
    p.scale(scale, scale);
    auto cell = [&](int index, auto&& draw) {
        p.save();
        p.translate(16 * index, 0);
        draw();
        p.restore();
    };
    cell(0, [&] {
        Page(p);
        p.fillRect(0, 2, 5, 1, QColor(230, 160, 0));
        p.fillRect(2, 0, 1, 5, QColor(230, 160, 0));
    });
    cell(1, [&] { OpenFolder(p); });
    cell(2, [&] { Floppy(p); });
    cell(3, [&] {
        Disc(p, 6.5, 6.5, 6.2);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(220, 60, 20));
        p.drawPolygon(QPolygon({QPoint(9, 9), QPoint(15, 12), QPoint(9, 15)}));
    });
    cell(4, [&] {
        Tag(p);
        Pencil(p);
    });
    cell(5, [&] {
        ClosedFolder(p);
        Plus(p, 9, 0);
    });
    cell(6, [&] {
        GreyArrow(p);
        Plus(p, 9, 9);
    });
    cell(7, [&] {
        Page(p);
        DownArrow(p, 8, 7);
    });
    cell(8, [&] {
        OpenFolder(p);
        DownArrow(p, 8, 0);
    });
    p.end();
    PixelText(strip, 16 * 4 + 1, 5, "IMG", Qt::black, scale);
    return strip;
}

// A disc with a bold K across its label area, drawn on a 48-unit grid.
QImage ProgramIcon(int size) {
    QImage image = Blank(size, size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.scale(size / 48.0, size / 48.0);
    QRadialGradient sheen(18, 16, 34);
    sheen.setColorAt(0.0, Qt::white);
    sheen.setColorAt(0.4, QColor(200, 218, 240));
    sheen.setColorAt(0.65, QColor(236, 200, 236));
    sheen.setColorAt(0.85, QColor(200, 236, 210));
    sheen.setColorAt(1.0, QColor(150, 160, 178));
    p.setPen(QPen(QColor(70, 76, 90), 1.5));
    p.setBrush(sheen);
    p.drawEllipse(QPointF(24, 24), 22.5, 22.5);
    p.setPen(QPen(QColor(140, 146, 160), 1.0));
    p.setBrush(QColor(230, 234, 240));
    p.drawEllipse(QPointF(24, 24), 7, 7);
    p.setCompositionMode(QPainter::CompositionMode_Clear);
    p.drawEllipse(QPointF(24, 24), 3, 3);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    QPainterPath k;
    k.addRect(9, 10, 6, 28);
    k.addPolygon(QPolygonF({QPointF(15, 22), QPointF(30, 8), QPointF(38, 8), QPointF(20, 25),
                            QPointF(15, 28)}));
    k.addPolygon(QPolygonF({QPointF(19, 23), QPointF(39, 40), QPointF(31, 40), QPointF(15, 27)}));
    k.setFillRule(Qt::WindingFill);
    p.setPen(QPen(QColor(20, 20, 60), 1.2));
    p.setBrush(QColor(40, 70, 190));
    p.drawPath(k.simplified());
    return image;
}

QImage DragCursor() {
    QImage image = Blank(32, 32);
    QPainter p(&image);
    p.setPen(Qt::black);
    p.setBrush(Qt::white);
    p.drawPolygon(QPolygon({QPoint(0, 0), QPoint(0, 15), QPoint(4, 11), QPoint(7, 17),
                            QPoint(9, 16), QPoint(6, 10), QPoint(11, 10)}));
    p.translate(12, 14);
    Page(p);
    return image;
}

bool Write(const QImage& image, const QDir& folder, const QString& name) {
    const QString path = folder.filePath(name);
    if (!image.save(path, "PNG")) {
        std::fprintf(stderr, "korvalin_draw_icons: cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: korvalin_draw_icons OUTPUT_FOLDER\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    bool ok = Write(IconStrip(1), folder, "icon_strip.png") &&
              Write(IconStrip(2), folder, "icon_strip@2x.png") &&
              Write(Toolbar(1), folder, "toolbar.png") &&
              Write(Toolbar(2), folder, "toolbar@2x.png") &&
              Write(DragCursor(), folder, "drag_cursor.png");
    for (int size : {16, 32, 48, 128}) {
        ok = ok && Write(ProgramIcon(size), folder, QString("korvalin-%1.png").arg(size));
    }
    return ok ? 0 : 1;
}
