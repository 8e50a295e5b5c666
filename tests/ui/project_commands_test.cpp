// The project commands through the main window's actions, the list's
// context menu and the mouse. Dialogs are answered by the scripted prompt;
// the entry editor by the real dialog, shown but without its modal loop.

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QUrl>

#include "import/isobuster_import.h"
#include "layout/compile_command.h"
#include "test_support.h"
#include "ui/commands.h"
#include "ui/entry_editor_dialog.h"
#include "ui/import_options_dialog.h"
#include "ui/korvalin_view.h"
#include "ui/left_view.h"
#include "ui/main_frame.h"
#include "ui_test_support.h"

using namespace korvalin;

namespace {

// `fill` sets the dialog's fields (and may try OK itself), then OK is clicked.
void AnswerEditor(test::ScriptedPrompt& prompt, std::function<void(EntryEditorDialog&)> fill) {
    prompt.entryEditor = [&prompt, fill](Project& project, EntryEditorState& state) {
        EntryEditorDialog dialog(project, state, prompt);
        dialog.show();
        fill(dialog);
        dialog.OkButton()->click();
        return dialog.result() == QDialog::Accepted;
    };
}

QStringList Names(test::AppHarness& h) {
    QStringList names;
    for (const ListRow& row : h.frame().ListView()->Rows().Rows()) names << QString::fromStdString(row.name);
    return names;
}

int RowOf(test::AppHarness& h, const QString& name) { return Names(h).indexOf(name); }

QString RowLba(test::AppHarness& h, const QString& name) {
    const int row = RowOf(h, name);
    if (row < 0) return "no row " + name;
    return QString::fromStdString(h.frame().ListView()->Rows().Rows()[row].lbaText);
}

QStringList TreeChildren(QTreeWidgetItem* item) {
    QStringList names;
    for (int i = 0; i < item->childCount(); ++i) names << item->child(i)->text(0);
    return names;
}

void WriteFile(const QString& path, size_t size) {
    QDir().mkpath(QFileInfo(path).path());
    test::WriteBytes(path.toStdString(), std::vector<uint8_t>(size, 0x5a));
}

// Presses on the row named `from`, moves over `target` with the button held
// (the drag cursor shows) and releases there.
void DragRow(test::AppHarness& h, const QString& from, QWidget* target, QPoint at) {
    CKorvalinView* list = h.frame().ListView();
    const QPoint start = list->visualRect(list->model()->index(RowOf(h, from), 0)).center();
    const QPoint end = list->viewport()->mapFromGlobal(target->mapToGlobal(at));
    QTest::mousePress(list->viewport(), Qt::LeftButton, {}, start);
    QTest::mouseMove(list->viewport(), end);
    QVERIFY(QApplication::overrideCursor() != nullptr);
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, end);
    QVERIFY(QApplication::overrideCursor() == nullptr);
}

void DragRowToRow(test::AppHarness& h, const QString& from, const QString& to) {
    CKorvalinView* list = h.frame().ListView();
    DragRow(h, from, list->viewport(), list->visualRect(list->model()->index(RowOf(h, to), 0)).center());
}

void DragRowToTree(test::AppHarness& h, const QString& from, int32_t dir) {
    CLeftView* tree = h.frame().TreeView();
    DragRow(h, from, tree->viewport(), tree->visualItemRect(tree->DirTreeItem(dir)).center());
}

}  // namespace

class ProjectCommandsTest : public QObject {
    Q_OBJECT

private slots:
    void droppingAFolderFromTheFileManager() {
        test::AppHarness h;
        h.Start();
        const QString game = h.FilePath("game");
        WriteFile(game + "/SYSTEM.CNF", 60);
        WriteFile(game + "/sub/b.bin", 3000);
        QVERIFY(QDir().mkpath(game + "/ABC.D"));
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(game), QUrl("https://example.org/x.bin")});
        // As the desktop delivers it: the drop goes where the drag entered.
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(h.frame().ListView()->viewport(), &enter);
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(h.frame().ListView()->viewport(), &drop);
        QVERIFY(drop.isAccepted());
        QCOMPARE(Names(h), QStringList({"NEW", "GAME"}));
        QTreeWidgetItem* root = h.frame().TreeView()->topLevelItem(0);
        QCOMPARE(TreeChildren(root), QStringList({"GAME"}));
        QCOMPARE(TreeChildren(root->child(0)), QStringList({"SUB"}));
        QCOMPARE(h.frame().TreeView()->currentItem(), root);
        QVERIFY(h.frame().SummaryPane()->text().endsWith("Files:2 Folders:3 "));
        QCOMPARE(h.prompt().errorLogs.size(), size_t{1});
        QCOMPARE(h.prompt().errorLogs[0].lines(),
                 std::vector<std::string>{" Illegal directory name for: \\GAME\\ABC.D "});
        QVERIFY(!h.frame().TreeView()->acceptDrops());
    }

    // Issued with the tree focused, as from the list. OK keeps the new
    // entry, Cancel removes it again.
    void newSubDirectoryAndNewDummyFile() {
        test::AppHarness h;
        h.Start();
        CMainFrame& f = h.frame();
        f.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        f.TreeView()->setFocus();
        AnswerEditor(h.prompt(), [&h](EntryEditorDialog& d) {
            QCOMPARE(d.windowTitle(), QString(" Directory Editor "));
            QVERIFY(d.SizeField()->isHidden() && !d.LbaField()->isEnabled());
            d.NameField()->setText("DATA.1");
            d.OkButton()->click();
            QCOMPARE(h.prompt().messages, std::vector<std::string>{"Illegal name "});
            d.NameField()->setText("LEVELS");
        });
        f.Action(ID_CREATE_DIRECTORY)->trigger();
        QCOMPARE(Names(h), QStringList({"NEW", "LEVELS"}));
        QCOMPARE(TreeChildren(f.TreeView()->topLevelItem(0)), QStringList({"LEVELS"}));
        h.prompt().entryEditor = nullptr;  // Cancel
        f.Action(ID_CREATE_DIRECTORY)->trigger();
        QCOMPARE(h.project().dirCount(), 2);

        const int32_t nextFree = h.project().layoutState.nextFreeLba;
        AnswerEditor(h.prompt(), [](EntryEditorDialog& d) {
            QCOMPARE(d.windowTitle(), QString("Dummy File Editor           "));
            d.NameField()->setText("PAD.BIN");
            d.SetFilesizeBox()->click();
            QTest::keyClicks(d.SizeField(), "4x096");  // digits only
        });
        f.Action(ID_CREATE_DUMMY_FILE)->trigger();
        QCOMPARE(RowLba(h, "PAD.BIN"), QString("+ %1").arg(nextFree));
        QCOMPARE(h.project().fileTable[0].flags, uint16_t(FLAG_DUMMY | FLAG_LBA_SET | FLAG_SIZE_SET));
        QCOMPARE(h.project().fileTable[0].size, 4096u);
        h.prompt().entryEditor = nullptr;
        f.Action(ID_CREATE_DUMMY_FILE)->trigger();
        QCOMPARE(h.project().fileCount(), 1);
        QCOMPARE(h.prompt().entryEditorRuns, 4);
    }

    void editInfoWithRefusalsThenRemoveASubtree() {
        test::AppHarness h;
        h.Start();
        Project& p = h.project();
        const int32_t data = test::AddDir(p, "DATA");
        test::AddDir(p, "LEVELS", test::AddDir(p, "SUB", data));
        const int32_t movies = test::AddDir(p, "MOVIES");
        test::AddFile(p, "A.BIN", 100);
        test::AddFile(p, "L1.DAT", 100, data + 2);
        test::AddFile(p, "INTRO.STR", 100, movies);
        test::AddFile(p, "B.BIN", 100);
        h.frame().OnDocumentChanged();
        CKorvalinView* list = h.frame().ListView();

        const int32_t pin = p.layoutState.firstFileLba + 40;
        AnswerEditor(h.prompt(), [&h, pin](EntryEditorDialog& d) {
            QVERIFY(QTest::qWaitForWindowActive(&d));
            const struct {
                const char *name, *lba, *message;
                QWidget* focus;
            } refusals[] = {{"A.TXTX", "", "Illegal name ", d.NameField()},
                            {"A.BIN", "", " Duplicate Name ", d.NameField()},
                            {"C.BIN", "5", "LBA not valid!!", d.LbaField()}};
            for (const auto& refusal : refusals) {
                d.NameField()->setText(refusal.name);
                if (refusal.lba[0] != '\0') d.SetLbaBox()->click();
                if (refusal.lba[0] != '\0') d.LbaField()->setText(refusal.lba);
                d.OkButton()->click();
                QVERIFY(d.isVisible());
                QCOMPARE(h.prompt().boxes.back().text, std::string(refusal.message));
                QCOMPARE(h.prompt().boxes.back().caption, std::string("Korvalin"));
                QVERIFY(h.prompt().boxes.back().icon == MessageIcon::Stop);
                QCOMPARE(d.focusWidget(), refusal.focus);
                if (refusal.focus == d.NameField()) QCOMPARE(d.NameField()->selectedText(), QString(refusal.name));
            }
            QCOMPARE(h.project().fileTable[3].Name(), std::string_view("B.BIN"));
            d.LbaField()->setText(QString::number(pin));
        });
        list->ContextMenuFor(RowOf(h, "B.BIN"))->actions()[0]->trigger();
        QCOMPARE(RowLba(h, "C.BIN"), QString("* %1").arg(pin));
        QCOMPARE(p.editedEntryId, 0);

        // DATA with its two levels, and A.BIN, selected together.
        for (const char* name : {"DATA", "A.BIN"}) {
            list->selectionModel()->select(list->model()->index(RowOf(h, name), 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
        list->ContextMenuFor(RowOf(h, "A.BIN"))->actions()[2]->trigger();
        QCOMPARE(Names(h), QStringList({"NEW", "MOVIES", "C.BIN"}));
        QCOMPARE(p.dirCount(), 2);
        QCOMPARE(p.fileTable[0].Name(), std::string_view("INTRO.STR"));
        QCOMPARE(p.fileTable[0].parent, 2u);  // MOVIES moved down to index 1
        QCOMPARE(TreeChildren(h.frame().TreeView()->topLevelItem(0)), QStringList({"MOVIES"}));
    }

    void draggingFileRows() {
        test::AppHarness h;
        h.Start();
        Project& p = h.project();
        const int32_t data = test::AddDir(p, "DATA");
        test::AddFile(p, "A.BIN", 5000);
        test::AddFile(p, "B.BIN", 5000);
        test::AddFile(p, "A.BIN", 10, data);
        h.frame().OnDocumentChanged();
        const QString lbaOfA = RowLba(h, "A.BIN");
        DragRowToRow(h, "A.BIN", "B.BIN");  // a swap
        QCOMPARE(Names(h), QStringList({"NEW", "DATA", "B.BIN", "A.BIN"}));
        QCOMPARE(RowLba(h, "B.BIN"), lbaOfA);
        DragRowToRow(h, "A.BIN", "DATA");
        QCOMPARE(h.prompt().messages.back(), std::string("the directory already has a file with the same name asA.BIN "));
        DragRowToTree(h, "A.BIN", data);
        QCOMPARE(h.prompt().messages.back(), std::string(" Directory already has a file with the same name as:  A.BIN "));
        DragRowToTree(h, "B.BIN", data);
        QCOMPARE(Names(h), QStringList({"NEW", "DATA", "A.BIN"}));
        QCOMPARE(p.fileTable[0].parent, uint32_t(data + 1));
        QCOMPARE(h.prompt().messages.size(), size_t{2});
    }

    // Two files pinned on one sector: the second is displaced.
    void compileAndTheClearingCommands() {
        test::AppHarness h;
        h.Start();
        Project& p = h.project();
        for (const char* name : {"A.BIN", "B.BIN"}) {
            WriteFile(h.FilePath(name), 3000);
            FileEntry& file = p.fileTable[test::AddFile(p, name, 3000, 0, h.FilePath(name).toStdString())];
            file.flags = FLAG_LBA_SET;
            file.lba = 100;
        }
        h.frame().OnDocumentChanged();
        QCOMPARE(RowLba(h, "B.BIN").front(), QChar('W'));
        h.prompt().okCancelAnswers.push_back(false);
        h.frame().Action(ID_COMPILE_IMAGE)->trigger();
        QCOMPARE(h.prompt().messages, std::vector<std::string>{DISPLACED_WARNING});
        QVERIFY(h.prompt().saveRequests.empty());

        h.frame().Action(ID_REMOVE_WARNINGS)->trigger();
        QCOMPARE(RowLba(h, "A.BIN"), QString("* 100"));
        QCOMPARE(RowLba(h, "B.BIN").front(), QChar(' '));
        h.prompt().saveAnswers.push_back(h.FilePath("disc.bin").toStdString());
        h.frame().Action(ID_COMPILE_IMAGE)->trigger();
        QCOMPARE(h.prompt().saveRequests[0].filter, std::string(IMAGE_FILE_FILTER));
        QCOMPARE(h.prompt().messages.back(), std::string("CD Image Created Sucessfully!  "));
        QCOMPARE(QFileInfo(h.FilePath("disc.bin")).size(), qint64(p.layoutState.totalSectors) * 2352);
        QVERIFY(QFileInfo::exists(h.FilePath("disc.cue")));
        h.frame().Action(ID_RESET_LBAS)->trigger();
        QCOMPARE(RowLba(h, "A.BIN").front(), QChar(' '));
    }

    void importingAListing() {
        test::AppHarness h;
        h.Start();
        WriteFile(h.FilePath("gamedisc/SYSTEM.CNF"), 60);
        WriteFile(h.FilePath("gamedisc/DATA/MAP.BIN"), 5000);
        test::WriteText(h.FilePath("gamedisc/list.txt").toStdString(),
                        "300 , \\SYSTEM.CNF\n400 , \\DATA\\MAP.BIN\n500 , \\GONE.BIN\n");
        h.prompt().openAnswers.push_back(h.FilePath("gamedisc/list.txt").toStdString());
        h.prompt().importModes.push_back(IMPORT_RESPECTIVE_LBA);
        h.frame().Action(ID_IMPORT_ISOBUSTER)->trigger();
        const OpenFileRequest& asked = h.prompt().openRequests.at(0);
        QCOMPARE(asked.filter, std::string("Texts (*.txt)|*.txt|All Files (*.*)|*.*||"));
        QVERIFY(asked.defaultExtension == ".TXT" && !asked.fileMustExist);
        QCOMPARE(Names(h), QStringList({"GAMEDISC", "DATA", "SYSTEM.CNF"}));
        QCOMPARE(RowLba(h, "SYSTEM.CNF"), QString("* 300"));
        QCOMPARE(TreeChildren(h.frame().TreeView()->topLevelItem(0)), QStringList({"DATA"}));
        QCOMPARE(h.prompt().errorLogs.at(0).lines(),
                 std::vector<std::string>{"Cannot find filename:  " + h.FilePath("gamedisc/GONE.BIN").toStdString() + " "});
        QVERIFY(h.prompt().unanswered.empty());

        ImportOptionsDialog options;
        QCOMPARE(options.windowTitle(), QString("IsoBuster Tree Listing Import Options"));
        QCOMPARE(options.findChild<QGroupBox*>()->title(), QString(" Import Modes "));
        QVERIFY(options.ModeButton(0)->isChecked());
        options.ModeButton(2)->click();
        QCOMPARE(options.Mode(), int32_t{IMPORT_LBA_ORDER});
    }
};

QTEST_MAIN(ProjectCommandsTest)
#include "project_commands_test.moc"
