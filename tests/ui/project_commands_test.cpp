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
#include "ui/entry_editor_dialog.h"
#include "ui/import_options_dialog.h"
#include "ui/korvalin_view.h"
#include "ui/left_view.h"
#include "ui/main_frame.h"
#include "ui_test_support.h"

using namespace korvalin;

namespace {

// A started application with ways to read and drive its two views.
struct Window : test::AppHarness {
    Window() { Start(); }
    CKorvalinView* list() { return frame().ListView(); }
    CLeftView* tree() { return frame().TreeView(); }
    void Trigger(CommandId id) { frame().Action(id)->trigger(); }
    QStringList Names() {
        QStringList names;
        for (const ListRow& row : list()->Rows().Rows()) names << QString::fromStdString(row.name);
        return names;
    }
    int Row(const QString& name) { return Names().indexOf(name); }
    QString Lba(const QString& name) {
        return Row(name) < 0 ? "no row" : QString::fromStdString(list()->Rows().Rows()[Row(name)].lbaText);
    }
    QStringList TreeChildren(int32_t dir) {
        QStringList names;
        for (int i = 0; i < tree()->DirTreeItem(dir)->childCount(); ++i) names << tree()->DirTreeItem(dir)->child(i)->text(0);
        return names;
    }
    void WriteFile(const QString& name, size_t size) {
        QDir().mkpath(QFileInfo(FilePath(name)).path());
        test::WriteBytes(FilePath(name).toStdString(), std::vector<uint8_t>(size, 0x5a));
    }
    // `fill` sets the dialog's fields (and may try OK itself), then OK is clicked.
    void AnswerEditor(std::function<void(EntryEditorDialog&)> fill) {
        prompt().entryEditor = [this, fill](Project& p, EntryEditorState& state) {
            EntryEditorDialog dialog(p, state, prompt());
            dialog.show();
            fill(dialog);
            dialog.OkButton()->click();
            return dialog.result() == QDialog::Accepted;
        };
    }
    // Presses on row `from`, moves over `target` with the button held (the
    // drag cursor shows) and releases there.
    void Drag(const QString& from, QAbstractItemView* target, QRect onto) {
        QWidget* viewport = list()->viewport();
        const QPoint end = viewport->mapFromGlobal(target->viewport()->mapToGlobal(onto.center()));
        QTest::mousePress(viewport, Qt::LeftButton, {}, list()->visualRect(list()->model()->index(Row(from), 0)).center());
        QTest::mouseMove(viewport, end);
        QVERIFY(QApplication::overrideCursor() != nullptr);
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, end);
    }
    QRect RowRect(const QString& name) { return list()->visualRect(list()->model()->index(Row(name), 0)); }
};

}  // namespace

class ProjectCommandsTest : public QObject {
    Q_OBJECT

private slots:
    void droppingAFolderFromTheFileManager() {
        Window w;
        w.WriteFile("game/SYSTEM.CNF", 60);
        w.WriteFile("game/sub/b.bin", 3000);
        QVERIFY(QDir().mkpath(w.FilePath("game/ABC.D")));
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(w.FilePath("game")), QUrl("https://example.org/x.bin")});
        // As the desktop delivers it: the drop goes where the drag entered.
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(w.list()->viewport(), &enter);
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(w.list()->viewport(), &drop);
        QCOMPARE(w.Names(), QStringList({"NEW", "GAME"}));
        QCOMPARE(w.TreeChildren(1), QStringList({"SUB"}));
        QVERIFY(w.frame().SummaryPane()->text().endsWith("Files:2 Folders:3 "));
        QCOMPARE(w.prompt().errorLogs.at(0).lines(),
                 std::vector<std::string>{" Illegal directory name for: \\GAME\\ABC.D "});
        QVERIFY(!w.tree()->acceptDrops());
    }

    // Issued with the tree focused, as from the list. OK keeps the new
    // entry, Cancel removes it again.
    void newSubDirectoryAndNewDummyFile() {
        Window w;
        w.frame().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w.frame()));
        w.tree()->setFocus();
        w.AnswerEditor([&w](EntryEditorDialog& d) {
            QCOMPARE(d.windowTitle(), QString(" Directory Editor "));
            d.NameField()->setText("DATA.1");
            d.OkButton()->click();
            QCOMPARE(w.prompt().messages, std::vector<std::string>{"Illegal name "});
            d.NameField()->setText("LEVELS");
        });
        w.Trigger(ID_CREATE_DIRECTORY);
        QCOMPARE(w.Names(), QStringList({"NEW", "LEVELS"}));
        QCOMPARE(w.TreeChildren(0), QStringList({"LEVELS"}));
        w.prompt().entryEditor = nullptr;  // Cancel
        w.Trigger(ID_CREATE_DIRECTORY);
        QCOMPARE(w.project().dirCount(), 2);

        const int32_t nextFree = w.project().layoutState.nextFreeLba;
        w.AnswerEditor([](EntryEditorDialog& d) {
            QCOMPARE(d.windowTitle(), QString("Dummy File Editor           "));
            d.NameField()->setText("PAD.BIN");
            d.SetFilesizeBox()->click();
            QTest::keyClicks(d.SizeField(), "4x096");  // digits only
        });
        w.Trigger(ID_CREATE_DUMMY_FILE);
        QCOMPARE(w.Lba("PAD.BIN"), QString("+ %1").arg(nextFree));
        QCOMPARE(w.project().fileTable[0].flags, uint16_t(FLAG_DUMMY | FLAG_LBA_SET | FLAG_SIZE_SET));
        QCOMPARE(w.project().fileTable[0].size, 4096u);
        w.prompt().entryEditor = nullptr;
        w.Trigger(ID_CREATE_DUMMY_FILE);
        QCOMPARE(w.project().fileCount(), 1);
        QCOMPARE(w.prompt().entryEditorRuns, 4);
    }

    void editInfoWithRefusalsThenRemoveASubtree() {
        Window w;
        Project& p = w.project();
        const int32_t data = test::AddDir(p, "DATA");
        test::AddDir(p, "LEVELS", test::AddDir(p, "SUB", data));
        test::AddFile(p, "L1.DAT", 100, data + 2);
        test::AddFile(p, "INTRO.STR", 100, test::AddDir(p, "MOVIES"));
        test::AddFile(p, "A.BIN", 100);
        test::AddFile(p, "B.BIN", 100);
        w.frame().OnDocumentChanged();

        const int32_t pin = p.layoutState.firstFileLba + 40;
        w.AnswerEditor([&w, pin](EntryEditorDialog& d) {
            QVERIFY(QTest::qWaitForWindowActive(&d));
            for (const char* name : {"A.TXTX", "A.BIN"}) {
                d.NameField()->setText(name);
                d.OkButton()->click();
                QCOMPARE(d.focusWidget(), d.NameField());
                QCOMPARE(d.NameField()->selectedText(), QString(name));
            }
            d.SetLbaBox()->click();
            d.LbaField()->setText("5");
            d.OkButton()->click();
            QCOMPARE(d.focusWidget(), d.LbaField());
            QVERIFY(d.isVisible());
            const auto& boxes = w.prompt().boxes;
            QCOMPARE(boxes.size(), size_t{3});
            QCOMPARE(boxes[1].text + boxes[2].text, std::string(" Duplicate Name LBA not valid!!"));
            QVERIFY(boxes[2].caption == "Korvalin" && boxes[2].icon == MessageIcon::Stop);
            d.NameField()->setText("C.BIN");
            d.LbaField()->setText(QString::number(pin));
        });
        w.list()->ContextMenuFor(w.Row("B.BIN"))->actions()[0]->trigger();  // Edit Info
        QCOMPARE(w.Lba("C.BIN"), QString("* %1").arg(pin));
        QCOMPARE(p.editedEntryId, 0);

        // DATA with its two levels, and A.BIN, selected together.
        for (int row : {w.Row("DATA"), w.Row("A.BIN")}) {
            w.list()->selectionModel()->select(w.list()->model()->index(row, 0),
                                               QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
        w.list()->ContextMenuFor(w.Row("DATA"))->actions()[2]->trigger();  // Remove
        QCOMPARE(w.Names(), QStringList({"NEW", "MOVIES", "C.BIN"}));
        QCOMPARE(p.fileTable[0].Name(), std::string_view("INTRO.STR"));
        QCOMPARE(p.fileTable[0].parent, 2u);  // MOVIES moved down to index 1
        QCOMPARE(w.TreeChildren(0), QStringList({"MOVIES"}));
    }

    void draggingFileRows() {
        Window w;
        const int32_t data = test::AddDir(w.project(), "DATA");
        test::AddFile(w.project(), "A.BIN", 5000);
        test::AddFile(w.project(), "B.BIN", 5000);
        test::AddFile(w.project(), "A.BIN", 10, data);
        w.frame().OnDocumentChanged();
        const QString lbaOfA = w.Lba("A.BIN");
        w.Drag("A.BIN", w.list(), w.RowRect("B.BIN"));  // a swap
        QCOMPARE(w.Names(), QStringList({"NEW", "DATA", "B.BIN", "A.BIN"}));
        QCOMPARE(w.Lba("B.BIN"), lbaOfA);
        w.Drag("A.BIN", w.list(), w.RowRect("DATA"));
        w.Drag("A.BIN", w.tree(), w.tree()->visualItemRect(w.tree()->DirTreeItem(data)));
        QCOMPARE(w.prompt().messages, (std::vector<std::string>{
                     "the directory already has a file with the same name asA.BIN ",
                     " Directory already has a file with the same name as:  A.BIN "}));
        w.Drag("B.BIN", w.tree(), w.tree()->visualItemRect(w.tree()->DirTreeItem(data)));
        QCOMPARE(w.Names(), QStringList({"NEW", "DATA", "A.BIN"}));
        QCOMPARE(w.project().fileTable[0].parent, uint32_t(data + 1));
        QVERIFY(QApplication::overrideCursor() == nullptr);
    }

    // Two files pinned on one sector: the second is displaced.
    void compileAndTheClearingCommands() {
        Window w;
        for (const char* name : {"A.BIN", "B.BIN"}) {
            w.WriteFile(name, 3000);
            FileEntry& file = w.project().fileTable[test::AddFile(w.project(), name, 3000, 0, w.FilePath(name).toStdString())];
            file.flags = FLAG_LBA_SET;
            file.lba = 100;
        }
        w.frame().OnDocumentChanged();
        QCOMPARE(w.Lba("B.BIN").front(), QChar('W'));
        w.prompt().okCancelAnswers.push_back(false);
        w.Trigger(ID_COMPILE_IMAGE);
        QCOMPARE(w.prompt().messages, std::vector<std::string>{DISPLACED_WARNING});
        QVERIFY(w.prompt().saveRequests.empty());

        w.Trigger(ID_REMOVE_WARNINGS);
        QCOMPARE(w.Lba("A.BIN") + w.Lba("B.BIN").front(), QString("* 100 "));
        w.prompt().saveAnswers.push_back(w.FilePath("disc.bin").toStdString());
        w.Trigger(ID_COMPILE_IMAGE);
        QCOMPARE(w.prompt().messages.back(), std::string("CD Image Created Sucessfully!  "));
        QCOMPARE(QFileInfo(w.FilePath("disc.bin")).size(), qint64(w.project().layoutState.totalSectors) * 2352);
        QVERIFY(QFileInfo::exists(w.FilePath("disc.cue")));
        w.Trigger(ID_RESET_LBAS);
        QCOMPARE(w.Lba("A.BIN").front(), QChar(' '));
    }

    void importingAListing() {
        Window w;
        w.WriteFile("gamedisc/SYSTEM.CNF", 60);
        w.WriteFile("gamedisc/DATA/MAP.BIN", 5000);
        test::WriteText(w.FilePath("gamedisc/list.txt").toStdString(),
                        "300 , \\SYSTEM.CNF\n400 , \\DATA\\MAP.BIN\n500 , \\GONE.BIN\n");
        w.prompt().openAnswers.push_back(w.FilePath("gamedisc/list.txt").toStdString());
        w.prompt().importModes.push_back(IMPORT_RESPECTIVE_LBA);
        w.Trigger(ID_IMPORT_ISOBUSTER);
        QCOMPARE(w.prompt().openRequests.at(0).filter, std::string(IMPORT_FILE_FILTER));
        QVERIFY(!w.prompt().openRequests[0].fileMustExist);
        QCOMPARE(w.Names(), QStringList({"GAMEDISC", "DATA", "SYSTEM.CNF"}));
        QCOMPARE(w.Lba("SYSTEM.CNF"), QString("* 300"));
        QCOMPARE(w.TreeChildren(0), QStringList({"DATA"}));
        QCOMPARE(w.prompt().errorLogs.at(0).lines(),
                 std::vector<std::string>{"Cannot find filename:  " + w.FilePath("gamedisc/GONE.BIN").toStdString() + " "});

        ImportOptionsDialog options;
        QCOMPARE(options.windowTitle() + options.findChild<QGroupBox*>()->title(),
                 QString("IsoBuster Tree Listing Import Options Import Modes "));
        QVERIFY(options.ModeButton(0)->isChecked());
        options.ModeButton(2)->click();
        QCOMPARE(options.Mode(), int32_t{IMPORT_LBA_ORDER});
    }
};

QTEST_MAIN(ProjectCommandsTest)
#include "project_commands_test.moc"
