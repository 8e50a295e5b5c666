// The directory tree and the file list over a project opened from a file:
// rows, icons, markers, tree items, navigation and the context menu.

#include <QHeaderView>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>

#include "model/list_rows.h"
#include "test_support.h"
#include "ui/icon_strip.h"
#include "ui/korvalin_view.h"
#include "ui/left_view.h"
#include "ui/main_frame.h"
#include "ui_test_support.h"

using namespace korvalin;

namespace {

enum DemoDir { ROOT = 0, DATA = 1, MOVIES = 2, LEVELS = 3 };

// DATA and MOVIES under the root, LEVELS under DATA; a pinned SYSTEM.CNF, an
// ELF, a file with the extension .45, a dummy named like an ELF, and one
// file in each folder.
Project DemoProject() {
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
    return project;
}

QStringList Names(const CKorvalinView* list) {
    QStringList names;
    for (const ListRow& row : list->Rows().Rows()) names << QString::fromStdString(row.name);
    return names;
}

QString Cell(const CKorvalinView* list, int row, int column) {
    return list->model()->index(row, column).data().toString();
}

bool SameImage(const QIcon& icon, QIcon::Mode mode, int stripIndex) {
    return icon.pixmap(16, 16, mode).toImage().convertToFormat(QImage::Format_ARGB32) ==
           StripPixmap(stripIndex).toImage().convertToFormat(QImage::Format_ARGB32);
}

void DoubleClickRow(CKorvalinView* list, int row) {
    const QRect rect = list->visualRect(list->model()->index(row, 0));
    // A real double click: the first click selects the row the second one opens.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, rect.center());
}

// Opens the demo project from a file, as from the command line.
struct OpenedDemo {
    test::AppHarness h;
    OpenedDemo() {
        Project demo = DemoProject();
        const QString path = h.FilePath("demo.krv");
        test::SaveProjectAs(demo, path);
        h.Start(path);
    }
    CKorvalinView* list() { return h.frame().ListView(); }
    CLeftView* tree() { return h.frame().TreeView(); }
};

}  // namespace

class ViewsTest : public QObject {
    Q_OBJECT

private slots:
    void rootRowsIconsAndMarkers() {
        OpenedDemo d;
        CKorvalinView* list = d.list();
        QCOMPARE(Names(list), QStringList({"DEMO", "DATA", "MOVIES", "SYSTEM.CNF", "MAIN.ELF",
                                           "X.45", "D.ELF"}));
        QList<int> icons, values;
        for (const ListRow& row : list->Rows().Rows()) {
            icons << row.icon;
            values << row.itemValue;
        }
        QCOMPARE(icons, QList<int>({7, 1, 1, 5, 4, 3, 10}));
        QCOMPARE(values, QList<int>({0, 1, 2, 4096, 4097, 4098, 4099}));
        QCOMPARE(Cell(list, 0, 1), QString("22"));
        QCOMPARE(Cell(list, 3, 1), QString("* 300"));
        QCOMPARE(Cell(list, 3, 2), QString("68"));
        QCOMPARE(Cell(list, 3, 4), QString("/src/SYSTEM.CNF"));
        QCOMPARE(Cell(list, 6, 1), QString("+ 500"));
        QCOMPARE(Cell(list, 6, 4), QString("'dummy'"));
        // The layout ran before the rows were filled: they show its LBAs and sizes.
        const Project& p = d.h.project();
        QCOMPARE(Cell(list, 4, 1), QString("  %1").arg(p.fileTable[1].lba));  // blank marker
        QVERIFY(p.fileTable[1].lba > 0);
        QCOMPARE(Cell(list, 1, 2), QString::number(p.dirTable[DATA].size));
        QCOMPARE(d.h.frame().windowTitle(), QString("demo.krv - Korvalin v1.5.4"));
    }

    void columnsHeadingsWidthsAndAlignment() {
        OpenedDemo d;
        CKorvalinView* list = d.list();
        const QStringList headings = {"Name  ", "LBA", "Filesize", "Date/Time ", "Path"};
        const QList<int> widths = {200, 80, 100, 100, 4096};
        const QList<bool> right = {false, true, true, false, false};
        for (int c = 0; c < 5; ++c) {
            QCOMPARE(list->model()->headerData(c, Qt::Horizontal).toString(), headings[c]);
            QCOMPARE(list->header()->sectionSize(c), widths[c]);
            const int alignment = list->model()->index(3, c).data(Qt::TextAlignmentRole).toInt();
            QCOMPARE(bool(alignment & Qt::AlignRight), right[c]);
        }
        // Each refresh puts the widths back.
        list->header()->resizeSection(0, 50);
        list->RefreshFileList(false);
        QCOMPARE(list->header()->sectionSize(0), 200);
    }

    void treeItemsAndIcons() {
        OpenedDemo d;
        CLeftView* tree = d.tree();
        QCOMPARE(tree->topLevelItemCount(), 1);
        QTreeWidgetItem* root = tree->topLevelItem(0);
        QCOMPARE(root->text(0), QString("DEMO"));
        QCOMPARE(root->childCount(), 2);
        QCOMPARE(root->child(0)->text(0), QString("DATA"));
        QCOMPARE(root->child(1)->text(0), QString("MOVIES"));
        QCOMPARE(root->child(0)->child(0)->text(0), QString("LEVELS"));
        QCOMPARE(CLeftView::ItemValue(root->child(0)->child(0)), int(LEVELS));
        QVERIFY(SameImage(root->icon(0), QIcon::Normal, ICON_DISC));
        QVERIFY(SameImage(root->icon(0), QIcon::Selected, ICON_DISC));
        QVERIFY(SameImage(root->child(0)->icon(0), QIcon::Normal, ICON_FOLDER));
        QVERIFY(SameImage(root->child(0)->icon(0), QIcon::Selected, ICON_FOLDER_OPEN));
    }

    // A directory that comes before its parent in the table has no parent item yet.
    void directoryBeforeItsParentGoesToTheTopLevel() {
        test::AppHarness h;
        Project project = test::NewProject();
        test::AddDir(project, "CHILD");
        test::AddDir(project, "PARENT");
        project.dirTable[1].parent = 3;  // PARENT is DirTable index 2
        const QString path = h.FilePath("order.krv");
        test::SaveProjectAs(project, path);
        h.Start(path);
        CLeftView* tree = h.frame().TreeView();
        QCOMPARE(tree->topLevelItemCount(), 2);
        QCOMPARE(tree->topLevelItem(1)->text(0), QString("CHILD"));
        QCOMPARE(tree->topLevelItem(0)->child(0)->text(0), QString("PARENT"));
    }

    void doubleClickNavigatesIntoFoldersAndBack() {
        OpenedDemo d;
        CKorvalinView* list = d.list();
        QSignalSpy refreshes(list, &CKorvalinView::Refreshed);
        DoubleClickRow(list, 1);  // DATA
        QCOMPARE(d.h.project().currentDir, int(DATA));
        QCOMPARE(refreshes.count(), 1);  // the tree's own selection change adds none
        QCOMPARE(Names(list), QStringList({"..", "LEVELS"}));
        QCOMPARE(list->Rows().Rows()[0].icon, int(ICON_FOLDER_UP));
        QCOMPARE(list->Rows().Rows()[0].itemValue, 0);
        QCOMPARE(d.tree()->currentItem(), d.tree()->DirTreeItem(DATA));

        DoubleClickRow(list, 1);  // LEVELS
        QCOMPARE(Names(list), QStringList({"..", "L1.DAT"}));
        QCOMPARE(Cell(list, 0, 1), QString::number(d.h.project().dirTable[DATA].lba));
        DoubleClickRow(list, 0);  // ".." back to DATA
        QCOMPARE(d.h.project().currentDir, int(DATA));
        DoubleClickRow(list, 0);  // ".." back to the root
        QCOMPARE(d.h.project().currentDir, int(ROOT));
        QCOMPARE(d.tree()->currentItem(), d.tree()->topLevelItem(0));
    }

    void doubleClickOnTheLabelRowStaysAtTheRootAndOnAFileDoesNothing() {
        OpenedDemo d;
        QSignalSpy refreshes(d.list(), &CKorvalinView::Refreshed);
        DoubleClickRow(d.list(), 0);
        QCOMPARE(d.h.project().currentDir, int(ROOT));
        QCOMPARE(refreshes.count(), 1);
        DoubleClickRow(d.list(), 3);  // SYSTEM.CNF
        QCOMPARE(d.h.project().currentDir, int(ROOT));
        QCOMPARE(refreshes.count(), 1);
    }

    void treeSelectionShowsThatFolder() {
        OpenedDemo d;
        QSignalSpy refreshes(d.list(), &CKorvalinView::Refreshed);
        d.tree()->setCurrentItem(d.tree()->DirTreeItem(MOVIES));
        QCOMPARE(d.h.project().currentDir, int(MOVIES));
        QCOMPARE(Names(d.list()), QStringList({"..", "INTRO.PSS"}));
        QCOMPARE(refreshes.count(), 1);
        // The tree was not rebuilt: the item is still the one selected.
        QCOMPARE(d.tree()->currentItem(), d.tree()->DirTreeItem(MOVIES));
    }

    void contextMenuOnEntriesButNotOnTheRoot() {
        OpenedDemo d;
        CKorvalinView* list = d.list();
        QVERIFY(list->ContextMenuFor(0) == nullptr);  // the volume label row
        QVERIFY(list->ContextMenuFor(-1) == nullptr);
        std::unique_ptr<QMenu> menu = list->ContextMenuFor(3);
        QVERIFY(menu != nullptr);
        const QList<QAction*> actions = menu->actions();
        QCOMPARE(actions.size(), 3);
        QCOMPARE(actions[0]->text(), QString("Edit Info"));
        QVERIFY(actions[1]->isSeparator());
        QCOMPARE(actions[2]->text(), QString("Remove"));
        QCOMPARE(d.h.project().editedEntryId, 4096);

        d.tree()->setCurrentItem(d.tree()->DirTreeItem(DATA));
        QVERIFY(list->ContextMenuFor(0) == nullptr);  // ".." is the root here
        QVERIFY(list->ContextMenuFor(1) != nullptr);
        QCOMPARE(d.h.project().editedEntryId, int(LEVELS));
        d.tree()->setCurrentItem(d.tree()->DirTreeItem(LEVELS));
        QVERIFY(list->ContextMenuFor(0) != nullptr);  // ".." is DATA
        QCOMPARE(d.h.project().editedEntryId, int(DATA));
    }

    void aRefreshStartedDuringARefreshIsIgnored() {
        OpenedDemo d;
        CKorvalinView* list = d.list();
        QSignalSpy refreshes(list, &CKorvalinView::Refreshed);
        int nested = 0;
        connect(list->model(), &QAbstractItemModel::modelReset, list, [&] {
            ++nested;
            list->RefreshFileList(true);
        });
        list->RefreshFileList(false);
        QCOMPARE(nested, 1);
        QCOMPARE(refreshes.count(), 1);
    }

    void aCurrentDirectoryThatNoLongerExistsFallsBackToTheRoot() {
        OpenedDemo d;
        d.h.project().currentDir = 99;
        d.list()->RefreshFileList(true);
        QCOMPARE(d.h.project().currentDir, int(ROOT));
        QCOMPARE(Names(d.list()).first(), QString("DEMO"));
    }
};

QTEST_MAIN(ViewsTest)
#include "views_test.moc"
