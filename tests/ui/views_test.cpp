// SPDX-License-Identifier: GPL-3.0-or-later
// The directory tree and the file list over a project opened from a file:
// rows, icons, markers, tree items, navigation and the context menu.

#include <QHeaderView>
#include <QMenu>
#include <QApplication>
#include <QSignalSpy>
#include <QTimer>

#include "ui_test_support.h"

using namespace korvalin;

namespace {

enum DemoDir { ROOT = 0, DATA = 1, MOVIES = 2, LEVELS = 3 };

// DATA and MOVIES under the root, LEVELS under DATA; a pinned SYSTEM.CNF, an
// ELF, a file with the extension .45, a dummy named like an ELF, and one
// file in each folder.
void OpenDemo(test::Window& w) {
    Project project = test::NewProject();
    project.volumeInfo.SetLabel("DEMO");
    test::AddDir(project, "DATA");
    test::AddDir(project, "MOVIES");
    test::AddDir(project, "LEVELS", DATA);
    const int32_t cnf = test::AddFile(project, "SYSTEM.CNF", 68, ROOT, "/src/SYSTEM.CNF");
    project.fileTable[cnf].flags = FLAG_LBA_SET;
    project.fileTable[cnf].lba = 300;
    test::AddFile(project, "MAIN.ELF", 5000, ROOT, "/src/MAIN.ELF");
    test::AddFile(project, "X.45", 10, ROOT, "/src/X.45");
    test::AddDummy(project, "D.ELF", 500, 4096, ROOT);
    test::AddFile(project, "INTRO.PSS", 100000, MOVIES, "/src/INTRO.PSS");
    test::AddFile(project, "L1.DAT", 2048, LEVELS, "/src/L1.DAT");
    QVERIFY(w.app().OpenDocumentFile(w.SaveProject(project, "demo.krv")));
}

}  // namespace

class ViewsTest : public QObject {
    Q_OBJECT

private slots:
    void rowsIconsMarkersAndTheTree() {
        test::Window w;
        OpenDemo(w);
        QCOMPARE(w.Names(), QStringList({"DEMO", "DATA", "MOVIES", "SYSTEM.CNF", "MAIN.ELF", "X.45",
                                         "D.ELF"}));
        QCOMPARE(w.ListIcons(), QList<int>({ICON_VOLUME_LABEL, ICON_FOLDER, ICON_FOLDER, ICON_CNF,
                                            ICON_ELF, ICON_FILE, ICON_DUMMY}));
        // The layout ran before the rows were filled: they show its LBAs and sizes.
        const Project& p = w.project();
        QVERIFY(p.fileTable[1].lba > 0);
        QStringList cells = {w.Cell(0, 1), w.Cell(1, 2), w.Cell(3, 1), w.Cell(4, 1), w.Cell(6, 1)};
        QCOMPARE(cells, QStringList({"22", QString::number(p.dirTable[DATA].size), "* 300",
                                     QString("  %1").arg(p.fileTable[1].lba), "+ 500"}));
        QCOMPARE(w.Cell(3, 4) + w.Cell(6, 4), QString("/src/SYSTEM.CNF'dummy'"));

        QTreeWidgetItem* root = w.tree()->topLevelItem(0);
        QCOMPARE(root->text(0), QString("DEMO"));
        QCOMPARE(w.TreeChildren(ROOT), QStringList({"DATA", "MOVIES"}));
        QCOMPARE(w.TreeChildren(DATA), QStringList({"LEVELS"}));
        QCOMPARE(test::StripIndexOf(root->icon(0)), int(ICON_DISC));
        QCOMPARE(test::StripIndexOf(root->icon(0), QIcon::Selected), int(ICON_DISC));
        const QIcon folder = root->child(0)->icon(0);
        QCOMPARE(test::StripIndexOf(folder), int(ICON_FOLDER));
        QCOMPARE(test::StripIndexOf(folder, QIcon::Selected), int(ICON_FOLDER_OPEN));

        // A directory that comes before its parent in the table has no parent item yet.
        w.project().dirTable[MOVIES].parent = LEVELS + 1;
        w.list()->RefreshFileList(true);
        QCOMPARE(w.tree()->topLevelItemCount(), 2);
        QCOMPARE(w.tree()->topLevelItem(1)->text(0), QString("MOVIES"));
    }

    void doubleClicksTreeSelectionAndTheContextMenu() {
        test::Window w;
        OpenDemo(w);
        QSignalSpy refreshes(w.list(), &CKorvalinView::Refreshed);
        // A refresh asked for while one runs is ignored: none below counts twice.
        QObject::connect(w.list()->model(), &QAbstractItemModel::modelReset, w.list(),
                         [&w] { w.list()->RefreshFileList(true); });
        const QStringList adding = {"Add Files...", "Add Folder..."};
        // The label row's menu: only adding.
        QCOMPARE(test::ActionTexts(w.list()->ContextMenuFor(0)->actions()), adding);
        w.DoubleClick(0);  // stays at the root
        w.DoubleClick(3);  // SYSTEM.CNF: nothing
        QCOMPARE(refreshes.count(), 1);

        w.list()->header()->resizeSection(0, 50);
        w.DoubleClick(1);  // DATA
        QCOMPARE(refreshes.count(), 2);  // the tree's own selection change adds none
        QCOMPARE(w.list()->header()->sectionSize(0), 200);  // each refresh puts the widths back
        QCOMPARE(w.Names(), QStringList({"..", "LEVELS"}));
        QCOMPARE(w.ListIcons().first(), int(ICON_FOLDER_UP));
        QCOMPARE(w.tree()->currentItem(), w.tree()->DirTreeItem(DATA));
        QCOMPARE(test::ActionTexts(w.list()->ContextMenuFor(0)->actions()), adding);  // root's ..
        w.DoubleClick(1);  // LEVELS
        QCOMPARE(w.Names(), QStringList({"..", "L1.DAT"}));
        QCOMPARE(w.Cell(0, 1), QString::number(w.project().dirTable[DATA].lba));
        const std::unique_ptr<QMenu> menu = w.list()->ContextMenuFor(0);  // ".." is DATA
        QCOMPARE(test::ActionTexts(menu->actions()),
                 QStringList({"Edit Info", "-", "Remove", "-"}) + adding);
        QCOMPARE(w.project().editedEntryId, int(DATA));
        w.DoubleClick(0);  // back to DATA
        QCOMPARE(w.project().currentDir, int(DATA));
        w.DoubleClick(0);  // back to the root
        QCOMPARE(w.project().currentDir, int(ROOT));
        QCOMPARE(w.tree()->currentItem(), w.tree()->topLevelItem(0));

        refreshes.clear();
        w.tree()->setCurrentItem(w.tree()->DirTreeItem(MOVIES));
        QCOMPARE(w.Names(), QStringList({"..", "INTRO.PSS"}));
        QCOMPARE(refreshes.count(), 1);
        // The tree was not rebuilt: the item is still the one selected.
        QCOMPARE(w.tree()->currentItem(), w.tree()->DirTreeItem(MOVIES));
    }

    // Enter opens a folder row, Backspace the parent, F2 edits the current
    // row, Shift+F10 opens its context menu, Delete removes the selection.
    void keysOfTheList() {
        test::Window w;
        OpenDemo(w);
        const auto key = [&w](int row, Qt::Key k, Qt::KeyboardModifiers modifiers = {}) {
            w.list()->setCurrentIndex(w.list()->model()->index(row, 0));
            QTest::keyClick(w.list(), k, modifiers);
        };
        key(w.Row("SYSTEM.CNF"), Qt::Key_Return);  // not a folder: nothing
        key(w.Row("DATA"), Qt::Key_Return);
        QCOMPARE(w.Names(), QStringList({"..", "LEVELS"}));
        key(1, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(w.Names(), QStringList({"..", "L1.DAT"}));
        key(1, Qt::Key_Backspace);
        key(1, Qt::Key_Backspace);
        QCOMPARE(w.project().currentDir, int(ROOT));
        key(1, Qt::Key_Backspace);  // at the root: stays
        QCOMPARE(w.Names().first(), QString("DEMO"));
        QCOMPARE(w.tree()->currentItem(), w.tree()->topLevelItem(0));

        int32_t edited = -1;
        w.prompt().entryEditor = [&edited](Project& p, EntryEditorState&) {
            edited = p.editedEntryId;
            return false;
        };
        key(w.Row("X.45"), Qt::Key_F2);
        QCOMPARE(edited, FileId(2));

        QStringList popup;
        QTimer::singleShot(0, [&popup] {
            QWidget* menu = QApplication::activePopupWidget();
            popup = test::ActionTexts(menu->actions());
            menu->close();
        });
        key(w.Row("MOVIES"), Qt::Key_F10, Qt::ShiftModifier);
        QCOMPARE(popup.first(), QString("Edit Info"));

        key(w.Row("MOVIES"), Qt::Key_Delete);
        QCOMPARE(w.TreeChildren(ROOT), QStringList({"DATA"}));
        QVERIFY(!w.Names().contains("MOVIES"));
    }
};

QTEST_MAIN(ViewsTest)
#include "views_test.moc"
