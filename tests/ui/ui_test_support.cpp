// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui_test_support.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPushButton>

#include "model/project_file.h"
#include "ui/icon_strip.h"

namespace korvalin::test {

QStringList ActionTexts(const QList<QAction*>& actions) {
    QStringList texts;
    for (const QAction* action : actions) texts << (action->isSeparator() ? "-" : action->text());
    return texts;
}

int StripIndexOf(const QIcon& icon, QIcon::Mode mode) {
    const QImage image =
        icon.pixmap(QSize(16, 16), 1.0, mode).toImage().convertToFormat(QImage::Format_ARGB32);
    for (int i = 0; i < STRIP_IMAGE_COUNT; ++i) {
        if (StripPixmap(i).toImage().convertToFormat(QImage::Format_ARGB32) == image) return i;
    }
    return -1;
}

Window::Window(const CalendarTime& now, const QString& project)
    : settings_(std::make_unique<QSettings>(dir_.filePath("settings.ini"), QSettings::IniFormat)),
      app_(std::make_unique<CKorvalinApp>(*settings_, [now] { return now; })) {
    auto prompt = std::make_unique<ScriptedPrompt>();
    prompt_ = prompt.get();
    app_->SetPrompt(std::move(prompt));
    app_->InitInstance(project.isEmpty() ? QString() : FilePath(project));
}

QString Window::Title() {
    QString title = frame().windowTitle();
    return title.replace("[*]", frame().isWindowModified() ? "*" : "");
}

void Window::Press(Qt::Key key, Qt::KeyboardModifiers modifiers) {
    frame().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&frame()));
    QTest::keyClick(&frame(), key, modifiers);
}

QStringList Window::Names() {
    QStringList names;
    for (int row = 0; row < list()->model()->rowCount(); ++row) names << Cell(row, 0);
    return names;
}

QString Window::Cell(int row, int column) {
    return list()->model()->index(row, column).data().toString();
}

QList<int> Window::ListIcons() {
    QList<int> icons;
    for (int row = 0; row < list()->model()->rowCount(); ++row) {
        const QVariant icon = list()->model()->index(row, 0).data(Qt::DecorationRole);
        icons << StripIndexOf(icon.value<QIcon>());
    }
    return icons;
}

QStringList Window::TreeChildren(int32_t dir) {
    QStringList names;
    const QTreeWidgetItem* item = tree()->DirTreeItem(dir);
    for (int i = 0; i < item->childCount(); ++i) names << item->child(i)->text(0);
    return names;
}

void Window::WriteFile(const QString& name, size_t size) {
    QDir().mkpath(QFileInfo(FilePath(name)).path());
    WriteBytes(Path(name), std::vector<uint8_t>(size, 0x5a));
}

void Window::Overwrite(const QString& name, int64_t offset, const QByteArray& bytes) {
    QFile file(FilePath(name));
    QVERIFY(file.open(QIODevice::ReadWrite) && file.seek(offset));
    QVERIFY(file.write(bytes) == bytes.size());
}

QString Window::SaveProject(Project project, const QString& name) {
    std::string message;
    if (!SaveProjectFile(Path(name), project, message)) qFatal("%s", message.c_str());
    return FilePath(name);
}

void Window::DoubleClick(int row) {
    const QPoint at = list()->visualRect(list()->model()->index(row, 0)).center();
    // A real double click: the first click selects the row the second one opens.
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, at);
}

QRect Window::RowRect(const QString& name) {
    return list()->visualRect(list()->model()->index(Row(name), 0));
}

void Window::Drag(const QString& from, QAbstractItemView* target, QRect onto) {
    QWidget* viewport = list()->viewport();
    const QPoint end = viewport->mapFromGlobal(target->viewport()->mapToGlobal(onto.center()));
    QTest::mousePress(viewport, Qt::LeftButton, {}, RowRect(from).center());
    QTest::mouseMove(viewport, end);
    QVERIFY(QApplication::overrideCursor() != nullptr);
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, end);
}

void Window::AnswerEditor(std::function<void(EntryEditorDialog&)> fill) {
    prompt().entryEditor = [this, fill](Project& p, EntryEditorState& state) {
        EntryEditorDialog dialog(p, state, prompt());
        dialog.show();
        fill(dialog);
        dialog.OkButton()->click();
        return dialog.result() == QDialog::Accepted;
    };
}

}  // namespace korvalin::test
