// SPDX-License-Identifier: GPL-3.0-or-later
// The main window: title, menus, toolbar, the status bar's summary and the
// season's greeting (driven tick by tick, no timer is waited for), the pane
// switch, a project command issued from the tree, and the volume label dialog.

#include <QDateEdit>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTimeEdit>
#include <QToolBar>

#include "ui/volume_label_dialog.h"
#include "ui_test_support.h"

using namespace korvalin;

namespace {

const QString CHRISTMAS = QString::fromUtf8(
    "ZOV OS DESEA...        FELIZ NAVIDAD!!!!            Y PROSPERO AÑO NUEVO, TAMBIEN!!!")
                              .leftJustified(120);
const QString NEW_YEAR = QString::fromUtf8(
    "ZOV OS DESEA...        FELIZ AÑO NUEVO!!!     JEJE, ESTOY COMO UNA REGADERAAAAA!!!  ^__^")
                             .leftJustified(120);
constexpr int WAIT = 101;            // ticks until a showing starts
constexpr int SHOWING = WAIT + 231;  // ticks of one wait and one showing

void Ticks(CMainFrame& frame, int count) {
    for (int i = 0; i < count; ++i) frame.OnTickerTimer();
}

}  // namespace

class MainFrameTest : public QObject {
    Q_OBJECT

private slots:
    void aNewWindow() {
        test::Window w;
        QCOMPARE(w.Title(), QString("Korvalin v1.5.4"));
        QList<QAction*> menus = w.frame().menuBar()->actions();
        QCOMPARE(test::ActionTexts(menus), QStringList({"&File", "&Edit", "&Tools", "&Help"}));
        QCOMPARE(test::ActionTexts(menus[0]->menu()->actions()),
                 QStringList({"&New\tCtrl+N", "&Open...\tCtrl+A", "&Save\tCtrl+G", "Save As...",
                              "-", "Edit Volume Label", "Compile PS/PS2 CD Image",
                              "Compile Through to Disk", "Import &Disc Image...", "Export Listing...",
                              "-", "Recent Files", "-", "&Exit"}));
        // A setting that outlives the window, off until chosen.
        QAction* sync = menus[0]->menu()->actions()[7];
        QVERIFY(sync->isCheckable() && !sync->isChecked());
        sync->trigger();
        QVERIFY(w.app().SyncToDisk());
        QCOMPARE(w.settings().value("Compile/SyncToDisk").toBool(), true);
        QCOMPARE(test::ActionTexts(menus[1]->menu()->actions()),
                 QStringList({"Create &Directory", "Create Dummy File", "-", "Add Files...",
                              "Add Folder...", "-", "Reset LBA's", "Remove Warnings", "-",
                              "&Import IsoBuster Tree listing", "-", "System Area...",
                              "Audio Tracks...", "New DA File...", "Descriptor Texts..."}));
        QCOMPARE(test::ActionTexts(menus[2]->menu()->actions()),
                 QStringList({"Verify Image...", "&Repair Image...", "Replace &File in Image..."}));
        QCOMPARE(test::ActionTexts(menus[3]->menu()->actions()), QStringList({"&About Korvalin"}));

        QToolBar* bar = w.frame().ToolBar();
        QList<int> order;
        for (QAction* action : bar->actions()) {
            order << (action->isSeparator() ? 0 : action->data().toInt());
        }
        QCOMPARE(bar->widgetForAction(bar->actions().last())->size(), QSize(28, 22));
        QCOMPARE(order, QList<int>({ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE, 0, ID_COMPILE_IMAGE, 0,
                                    ID_EDIT_VOLUME_LABEL, 0, ID_CREATE_DIRECTORY, 0,
                                    ID_CREATE_DUMMY_FILE, 0, ID_ADD_FILES, ID_ADD_FOLDER}));
        // The first size fits the screen's free area, at scale 2 too (the
        // tests run at both); the window cannot shrink to nothing. The icons
        // have a rendering of their own at scale 2.
        const QRect screen = w.frame().screen()->availableGeometry();
        QVERIFY(screen.contains(w.frame().frameGeometry()));
        QVERIFY(w.frame().minimumWidth() >= 300 && w.frame().minimumHeight() >= 200);
        QCOMPARE(bar->actions().first()->icon().pixmap(QSize(16, 16), 2.0).width(), 32);

        // The new project: the root alone.
        QCOMPARE(w.Names(), QStringList({"NEW"}));
        QCOMPARE(w.ListIcons(), QList<int>({ICON_VOLUME_LABEL}));
        QCOMPARE(w.frame().SummaryPane()->text(), test::NEW_PROJECT_SUMMARY);
        QCOMPARE(w.frame().SummaryPane()->width(), 400);
        QCOMPARE(w.frame().PromptPane()->text(), QString("Ready!"));
        // A larger project's summary in a larger font is never cut.
        QFont large = w.frame().SummaryPane()->font();
        large.setPointSize(large.pointSize() * 2);
        w.frame().SummaryPane()->setFont(large);
        for (int i = 0; i < 300; ++i) test::AddDir(w.project(), "D" + std::to_string(i));
        w.list()->RefreshFileList(false);
        const QLabel* summary = w.frame().SummaryPane();
        QVERIFY(summary->text().endsWith("Folders:301 "));
        QVERIFY(summary->contentsRect().width() >=
                summary->fontMetrics().horizontalAdvance(summary->text()));
        QTreeWidgetItem* root = w.tree()->topLevelItem(0);
        QCOMPARE(root->text(0), QString("NEW"));
        QVERIFY(root->font(0).bold() && root->isExpanded());
        QCOMPARE(w.tree()->currentItem(), root);
    }

    // F6 and Shift+F6 switch panes; Edit Volume Label, issued with the tree
    // focused, acts as from the list, and its Cancel changes nothing.
    void panesAndACommandFromTheTree() {
        test::Window w;
        w.list()->setFocus();
        w.Press(Qt::Key_F6);
        QCOMPARE(w.frame().focusWidget(), static_cast<QWidget*>(w.tree()));
        w.Press(Qt::Key_F6);
        QCOMPARE(w.frame().focusWidget(), static_cast<QWidget*>(w.list()));
        w.Press(Qt::Key_F6, Qt::ShiftModifier);
        QCOMPARE(w.frame().focusWidget(), static_cast<QWidget*>(w.tree()));

        QSignalSpy refreshes(w.list(), &CKorvalinView::Refreshed);
        bool ok = false;
        w.prompt().volumeLabelEditor = [&ok](VolumeLabelEditorState& values) {
            values.label = "FROM_TREE";
            values.date.year = 1999;
            return ok;
        };
        w.Trigger(ID_EDIT_VOLUME_LABEL);
        QCOMPARE(w.Names().first(), QString("NEW"));
        QCOMPARE(refreshes.count(), 0);
        ok = true;
        w.Trigger(ID_EDIT_VOLUME_LABEL);
        QCOMPARE(w.tree()->topLevelItem(0)->text(0), QString("FROM_TREE"));
        QCOMPARE(w.Names(), QStringList({"FROM_TREE"}));
        QCOMPARE(w.project().volumeInfo.year, 1999);
        QCOMPARE(w.tree()->currentItem(), w.tree()->topLevelItem(0));
    }

    // The dialog behind Edit Volume Label, on a stored date that does not
    // exist (31 May at 23:15 UTC, shown one hour later): an untouched date
    // picker keeps it.
    void theVolumeLabelDialog() {
        Project project = test::NewProject();
        VolumeInfo& v = project.volumeInfo;
        std::tie(v.year, v.month, v.day, v.hour, v.minute, v.second) =
            std::tuple(2003, 5, 32, 0, 15, 7);
        VolumeLabelDialog dialog(OpenVolumeLabelEditor(project));
        QCOMPARE(dialog.windowTitle(), QString("Volume Label Editor"));
        QCOMPARE(dialog.NameField()->text(), QString("NEW"));
        QCOMPARE(dialog.DatePicker()->date(), QDate(2003, 6, 1));
        QCOMPARE(dialog.TimePicker()->time(), QTime(0, 15, 7));
        QTest::keyClicks(dialog.NameField(), " my disc-1.a");
        QCOMPARE(dialog.NameField()->text(), QString("NEW MY DISC-1.A"));
        QTest::keyClicks(dialog.NameField(), QString(30, 'x'));
        dialog.show();  // all 32 characters are in sight
        QVERIFY(dialog.NameField()->width() >
                dialog.NameField()->fontMetrics().horizontalAdvance(dialog.NameField()->text()));
        dialog.TimePicker()->setTime(QTime(0, 15, 30));
        ApplyVolumeLabelEditor(project, dialog.State());
        QCOMPARE(std::string(v.Label()), "NEW MY DISC-1.A" + std::string(17, 'X'));  // 32, no more
        QCOMPARE(std::tuple(v.year, v.month, v.day), std::tuple(2003, 5, 32));
        QCOMPARE(project.volumeUtcTime, (CalendarTime{2003, 5, 31, 23, 15, 30}));
    }

    void theGreetingRunsFromTheTwentyFourthOfDecemberToTheSixthOfJanuary() {
        for (const auto& [month, day, runs] : {std::tuple(12, 23, false), std::tuple(12, 24, true),
                                               std::tuple(1, 6, true), std::tuple(1, 7, false)}) {
            test::Window w(CalendarTime{2024, month, day, 12, 0, 0});
            QVERIFY2(w.frame().IsTickerTimerRunning() == runs,
                     qPrintable(QString("%1/%2").arg(day).arg(month)));
        }
    }

    void theGreetingScrollsFourTimesThenTheSummaryReturns() {
        test::Window w(CalendarTime{2024, 12, 24, 8, 0, 0});
        CMainFrame& f = w.frame();
        const QLabel* pane = f.SummaryPane();
        Ticks(f, WAIT);
        QCOMPARE(pane->text(), test::NEW_PROJECT_SUMMARY);
        // Each tick shows the line, then shifts in the next character: the
        // 121st shows the whole message.
        Ticks(f, 121);
        QCOMPARE(pane->text(), CHRISTMAS);
        f.OnIdleUpdate();  // refreshes leave the greeting alone while it scrolls
        QCOMPARE(pane->text(), CHRISTMAS);
        Ticks(f, 1);  // the last character stays: the trailing blanks keep coming in
        QCOMPARE(pane->text(), CHRISTMAS.mid(1) + ' ');
        Ticks(f, SHOWING - (WAIT + 122));
        QCOMPARE(pane->text(), test::NEW_PROJECT_SUMMARY);
        // The second showing scrolls the other message in from its start.
        Ticks(f, WAIT + 121);
        QCOMPARE(pane->text(), NEW_YEAR);
        Ticks(f, 3 * SHOWING);  // past the fourth showing and a would-be fifth one's start
        QCOMPARE(f.Ticker().showings(), 4);
        QCOMPARE(pane->text(), test::NEW_PROJECT_SUMMARY);
    }
};

QTEST_MAIN(MainFrameTest)
#include "main_frame_test.moc"
