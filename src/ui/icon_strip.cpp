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

QPixmap Cell(const QString& resource, int index) {
    EnsureResources();
    const QImage strip(resource);
    return QPixmap::fromImage(
        strip.copy(index * STRIP_IMAGE_SIZE, 0, STRIP_IMAGE_SIZE, STRIP_IMAGE_SIZE));
}

QIcon SameInEveryMode(const QPixmap& pixmap) {
    QIcon icon;
    for (QIcon::Mode mode : {QIcon::Normal, QIcon::Active, QIcon::Selected}) {
        icon.addPixmap(pixmap, mode);
    }
    return icon;
}

}  // namespace

QPixmap StripPixmap(int index) {
    static const std::vector<QPixmap> cells = [] {
        std::vector<QPixmap> all;
        for (int i = 0; i < STRIP_IMAGE_COUNT; ++i) all.push_back(Cell(":/korvalin/icon_strip.png", i));
        return all;
    }();
    return cells.at(static_cast<size_t>(index));
}

QIcon StripIcon(int index) {
    static const std::vector<QIcon> icons = [] {
        std::vector<QIcon> all;
        for (int i = 0; i < STRIP_IMAGE_COUNT; ++i) all.push_back(SameInEveryMode(StripPixmap(i)));
        return all;
    }();
    return icons.at(static_cast<size_t>(index));
}

QIcon FolderIcon() {
    QIcon icon;
    icon.addPixmap(StripPixmap(ICON_FOLDER), QIcon::Normal);
    icon.addPixmap(StripPixmap(ICON_FOLDER), QIcon::Active);
    icon.addPixmap(StripPixmap(ICON_FOLDER_OPEN), QIcon::Selected);
    return icon;
}

QIcon ToolbarIcon(ToolbarImage image) {
    return SameInEveryMode(Cell(":/korvalin/toolbar.png", image));
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
