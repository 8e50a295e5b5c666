// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/icon_strip.h"

#include <QImage>
#include <vector>

#include "model/list_rows.h"

// Resources of a static library are registered by hand, from the global namespace.
static void RegisterUiResources() { Q_INIT_RESOURCE(korvalin); }

namespace korvalin {

namespace {

void EnsureResources() {
    static const bool registered = (RegisterUiResources(), true);
    (void)registered;
}

// Image `index` of a strip; `scale` 2 reads the strip drawn at twice the size.
QPixmap Cell(const QString& resource, int index, int scale = 1) {
    EnsureResources();
    const QImage strip(scale == 1 ? resource : QString(resource).replace(".png", "@2x.png"));
    const int size = STRIP_IMAGE_SIZE * scale;
    return QPixmap::fromImage(strip.copy(index * size, 0, size, size));
}

// Both renderings: a scale factor of 2 takes the larger one instead of
// blurring the smaller.
QIcon SameInEveryMode(const QString& resource, int index) {
    QIcon icon;
    for (int scale : {1, 2}) {
        const QPixmap pixmap = Cell(resource, index, scale);
        for (QIcon::Mode mode : {QIcon::Normal, QIcon::Active, QIcon::Selected}) {
            icon.addPixmap(pixmap, mode);
        }
    }
    return icon;
}

constexpr char STRIP_RESOURCE[] = ":/korvalin/icon_strip.png";

}  // namespace

QPixmap StripPixmap(int index) {
    static const std::vector<QPixmap> cells = [] {
        std::vector<QPixmap> all;
        for (int i = 0; i < STRIP_IMAGE_COUNT; ++i) all.push_back(Cell(STRIP_RESOURCE, i));
        return all;
    }();
    return cells.at(static_cast<size_t>(index));
}

QIcon StripIcon(int index) {
    static const std::vector<QIcon> icons = [] {
        std::vector<QIcon> all;
        for (int i = 0; i < STRIP_IMAGE_COUNT; ++i) {
            all.push_back(SameInEveryMode(STRIP_RESOURCE, i));
        }
        return all;
    }();
    return icons.at(static_cast<size_t>(index));
}

QIcon FolderIcon() {
    QIcon icon;
    for (int scale : {1, 2}) {
        icon.addPixmap(Cell(STRIP_RESOURCE, ICON_FOLDER, scale), QIcon::Normal);
        icon.addPixmap(Cell(STRIP_RESOURCE, ICON_FOLDER, scale), QIcon::Active);
        icon.addPixmap(Cell(STRIP_RESOURCE, ICON_FOLDER_OPEN, scale), QIcon::Selected);
    }
    return icon;
}

QIcon ToolbarIcon(ToolbarImage image) {
    return SameInEveryMode(":/korvalin/toolbar.png", image);
}

QIcon ProgramIcon() {
    EnsureResources();
    QIcon icon;
    for (int size : {16, 32, 48, 128}) {
        icon.addFile(QString(":/korvalin/korvalin-%1.png").arg(size), QSize(size, size));
    }
    return icon;
}

QCursor DragCursor() {
    EnsureResources();
    return QCursor(QPixmap(":/korvalin/drag_cursor.png"), 0, 0);
}

}  // namespace korvalin
