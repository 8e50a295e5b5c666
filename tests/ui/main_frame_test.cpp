// The main window: title, menus, toolbar, status bar, accelerators and the
// routing of project commands from either pane.

#include <QLabel>
#include <QMenuBar>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include "ui/commands.h"
#include "ui/korvalin_view.h"
#include "ui/left_view.h"
#include "ui/main_frame.h"
#include "ui_test_support.h"

using namespace korvalin;

namespace {

QStringList ActionTexts(const QMenu* menu) {
    QStringList texts;
    for (const QAction* action : menu->actions()) {
        texts << (action->isSeparator() ? QString("-") : action->text());
    }
    return texts;
}

QMenu* MenuNamed(QMainWindow& window, const QString& title) {
    for (QAction* action : window.menuBar()->actions()) {
        if (action->text() == title) return action->menu();
    }
    return nullptr;
}

// Sets the label through the scripted volume label editor.
void ScriptLabel(test::ScriptedPrompt& prompt, const std::string& label) {
    prompt.volumeLabelEditor = [label](VolumeLabelEditorState& values) {
        values.label = label;
        return true;
    };
}

}  // namespace

class MainFrameTest : public QObject {
    Q_OBJECT

private slots:
    void titleAndMenus() {
        test::AppHarness h;
        h.Start();
        QCOMPARE(h.frame().windowTitle(), QString("Korvalin v1.5.4"));
        QStringList titles;
        for (QAction* action : h.frame().menuBar()->actions()) titles << action->text();
        QCOMPARE(titles, QStringList({"&File", "&Edit", "&Help"}));
        QCOMPARE(ActionTexts(MenuNamed(h.frame(), "&File")),
                 QStringList({"&New\tCtrl+N", "&Open...\tCtrl+A", "&Save\tCtrl+G", "Save As...",
                              "-", "Edit Volume Label", "Compile PS/PS2 CD Image", "-",
                              "Recent Files", "-", "&Exit"}));
        QCOMPARE(ActionTexts(MenuNamed(h.frame(), "&Edit")),
                 QStringList({"Create &Directory", "Create Dummy File", "-", "Reset LBA's",
                              "Remove Warnings", "-", "&Import IsoBuster Tree listing"}));
        QCOMPARE(ActionTexts(MenuNamed(h.frame(), "&Help")), QStringList({"&About Korvalin"}));
    }

    void shortcutsAndPrompts() {
        test::AppHarness h;
        h.Start();
        CMainFrame& f = h.frame();
        QCOMPARE(f.Action(ID_FILE_NEW)->shortcut(), QKeySequence("Ctrl+N"));
        QCOMPARE(f.Action(ID_FILE_OPEN)->shortcut(), QKeySequence("Ctrl+O"));
        QCOMPARE(f.Action(ID_FILE_SAVE)->shortcut(), QKeySequence("Ctrl+S"));
        QCOMPARE(f.Action(ID_NEXT_PANE)->shortcut(), QKeySequence("F6"));
        QCOMPARE(f.Action(ID_PREV_PANE)->shortcut(), QKeySequence("Shift+F6"));
        QCOMPARE(f.Action(ID_CREATE_DIRECTORY)->statusTip(), QString("Create a New Sub Directory Folder"));
        QCOMPARE(f.Action(ID_CREATE_DIRECTORY)->toolTip(), QString(" New Sub Directory Folder"));
        QCOMPARE(f.Action(ID_COMPILE_IMAGE)->statusTip(), QString("Compile a PS/PS2 CD Image"));
        QCOMPARE(f.Action(ID_EDIT_VOLUME_LABEL)->statusTip(), QString("Edit CD Image Volume Label"));
        QCOMPARE(f.Action(ID_FILE_OPEN)->toolTip(), QString("Open CD Image Template"));
    }

    void toolbarOrderAndButtonSize() {
        test::AppHarness h;
        h.Start();
        QToolBar* bar = h.frame().ToolBar();
        QList<int> order;
        for (QAction* action : bar->actions()) order << (action->isSeparator() ? 0 : action->data().toInt());
        QCOMPARE(order, QList<int>({ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE, 0, ID_COMPILE_IMAGE, 0,
                                    ID_EDIT_VOLUME_LABEL, 0, ID_CREATE_DIRECTORY, 0,
                                    ID_CREATE_DUMMY_FILE}));
        for (QAction* action : bar->actions()) {
            if (action->isSeparator()) continue;
            QCOMPARE(bar->widgetForAction(action)->size(), QSize(28, 22));
            QVERIFY(!action->icon().isNull());
        }
    }

    void newProjectRowsTreeAndSummary() {
        test::AppHarness h;
        h.Start();
        const auto& rows = h.frame().ListView()->Rows().Rows();
        QCOMPARE(rows.size(), size_t{1});
        QCOMPARE(rows[0].name, std::string("NEW"));
        QCOMPARE(rows[0].lbaText, std::string("22"));
        QCOMPARE(rows[0].icon, int(ICON_VOLUME_LABEL));
        QCOMPARE(rows[0].itemValue, 0);
        QCOMPARE(h.frame().SummaryPane()->text(),
                 QString("Time: 00:02   TOC: 52KB/ LBA:23  Files:0 Folders:1 "));
        QCOMPARE(h.frame().SummaryPane()->width(), 400);
        QCOMPARE(h.frame().PromptPane()->text(), QString("Ready!"));

        CLeftView* tree = h.frame().TreeView();
        QCOMPARE(tree->topLevelItemCount(), 1);
        QTreeWidgetItem* root = tree->topLevelItem(0);
        QCOMPARE(root->text(0), QString("NEW"));
        QVERIFY(root->font(0).bold());
        QVERIFY(root->isExpanded());
        QCOMPARE(tree->currentItem(), root);
    }

    void statusBarPanesBeforeTheFirstUpdate() {
        test::AppHarness h;
        CKorvalinApp& app = h.app();
        // The window alone, before any project is shown.
        CMainFrame frame(app);
        QCOMPARE(frame.SummaryPane()->text(), QString("En barra de estado se situa"));
        // Offscreen there is no keyboard to ask: the lock panes stay blank.
        frame.OnIdleUpdate();
        QCOMPARE(frame.CapsPane()->text(), QString());
        QCOMPARE(frame.NumPane()->text(), QString());
        QCOMPARE(frame.ScrollPane()->text(), QString());
    }

    void f6SwitchesPanes() {
        test::AppHarness h;
        h.Start();
        CMainFrame& f = h.frame();
        f.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        f.ListView()->setFocus();
        QTest::keyClick(&f, Qt::Key_F6);
        QCOMPARE(f.focusWidget(), static_cast<QWidget*>(f.TreeView()));
        QTest::keyClick(&f, Qt::Key_F6);
        QCOMPARE(f.focusWidget(), static_cast<QWidget*>(f.ListView()));
        QTest::keyClick(&f, Qt::Key_F6, Qt::ShiftModifier);
        QCOMPARE(f.focusWidget(), static_cast<QWidget*>(f.TreeView()));
    }

    // Edit Volume Label from the menu acts the same with the tree or the list focused.
    void projectCommandsActTheSameFromEitherPane() {
        test::AppHarness h;
        h.Start();
        CMainFrame& f = h.frame();
        f.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        for (QWidget* pane : {static_cast<QWidget*>(f.TreeView()), static_cast<QWidget*>(f.ListView())}) {
            pane->setFocus();
            const std::string label = pane == f.TreeView() ? "FROM_TREE" : "FROM_LIST";
            ScriptLabel(h.prompt(), label);
            f.Action(ID_EDIT_VOLUME_LABEL)->trigger();
            QCOMPARE(f.TreeView()->topLevelItem(0)->text(0), QString::fromStdString(label));
            QCOMPARE(f.ListView()->Rows().Rows()[0].name, label);
            QCOMPARE(f.TreeView()->currentItem(), f.TreeView()->topLevelItem(0));
        }
    }

    void cancelledVolumeLabelEditorChangesNothing() {
        test::AppHarness h;
        h.Start();
        const VolumeInfo before = h.project().volumeInfo;
        h.prompt().volumeLabelEditor = [](VolumeLabelEditorState& values) {
            values.label = "CHANGED";
            values.date.year = 1999;
            return false;
        };
        QSignalSpy refreshes(h.frame().ListView(), &CKorvalinView::Refreshed);
        h.frame().Action(ID_EDIT_VOLUME_LABEL)->trigger();
        QCOMPARE(h.project().volumeInfo.Label(), before.Label());
        QCOMPARE(h.project().volumeInfo.year, before.year);
        QCOMPARE(refreshes.count(), 0);
    }

    void aboutGoesThroughThePrompt() {
        test::AppHarness h;
        h.Start();
        h.frame().Action(ID_APP_ABOUT)->trigger();
        QCOMPARE(h.prompt().aboutShown, 1);
    }
};

QTEST_MAIN(MainFrameTest)
#include "main_frame_test.moc"
