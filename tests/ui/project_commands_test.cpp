// SPDX-License-Identifier: GPL-3.0-or-later
// The project commands through the main window's actions, the list's
// context menu and the mouse. Dialogs are answered by the scripted prompt;
// the entry editor by the real dialog, shown but without its modal loop.

#include <QApplication>
#include <cstring>
#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QDir>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>
#include <QSpinBox>
#include <QTreeWidget>

#include "audio_samples.h"
#include "image/compile_outputs.h"
#include "import/listing_writer.h"
#include "ui/audio_tracks_dialog.h"
#include "ui/error_log_window.h"
#include "ui/import_options_dialog.h"
#include "ui/verify_window.h"
#include "ui/volume_texts_dialog.h"
#include "ui/system_area_dialog.h"
#include "ui_test_support.h"

using namespace korvalin;
using Texts = std::vector<std::string>;

class ProjectCommandsTest : public QObject {
    Q_OBJECT

private slots:
    // Edit > System Area...: the real dialog shows a refused file in its
    // message line, loads a license, takes the settings; OK hands them on.
    void systemAreaDialog() {
        test::Window w;
        std::vector<uint8_t> license(16 * 2048, 0);
        std::memcpy(&license[4 * 2048], "  Licensed  by  Someone", 23);
        test::WriteBytes(w.Path("lic.dat"), license);
        w.WriteFile("odd.bin", 1000);
        QString refused, shown;
        bool ok = false;
        w.prompt().systemAreaEditor = [&](Project& project) {
            SystemAreaDialog dialog(project);
            dialog.LoadFrom(w.Path("odd.bin"));
            refused = dialog.Message()->text();
            dialog.LoadFrom(w.Path("lic.dat"));
            dialog.StampBox()->click();
            shown = dialog.Description()->toPlainText() + QString::number(dialog.KeepBox()->isChecked());
            if (ok) dialog.ApplyTo(project);
            return ok;
        };
        w.Trigger(ID_SYSTEM_AREA);  // cancelled
        QVERIFY(w.project().settings == ProjectSettings{});
        QVERIFY(refused.contains("odd.bin\" (1000 bytes) is neither"));
        QVERIFY(shown.contains("License text: Licensed by Someone\n"));
        QVERIFY(shown.endsWith("Stamp empty system area: on\n1"));
        ok = true;
        w.Trigger(ID_SYSTEM_AREA);
        QVERIFY((w.project().settings == ProjectSettings{true, true}));
        QCOMPARE(w.project().systemArea[4 * 2352 + 24 + 2], uint8_t('L'));
    }

    // Edit > Audio Tracks...: WAV files come through the prompt's file
    // dialog and a wrong one is refused in the message line; the order and
    // pregaps set reach the project on OK only, which marks it modified and
    // shows the disc time in the summary.
    void audioTracksDialog() {
        test::Window w;
        test::WriteBytes(w.Path("a.wav"), test::WavFile(test::Samples(2352 * 75, 1)));
        test::WriteBytes(w.Path("b.wav"), test::WavFile(test::Samples(2352 * 10, 2)));
        test::WriteBytes(w.Path("mono.wav"), test::WavFile(test::Samples(100, 3), 1));
        QString refused, rows;
        bool ok = false;
        w.prompt().audioTracksEditor = [&](Project& project) {
            AudioTracksDialog dialog(project, w.prompt());
            w.prompt().filesAnswers = {{w.Path("a.wav"), w.Path("mono.wav"), w.Path("b.wav")},
                                       {w.Path("b.wav"), w.Path("a.wav")}};
            dialog.AddFiles();  // stops at the refused file
            refused = dialog.Message()->text();
            dialog.AddFiles();
            dialog.Select(1);
            dialog.MoveUp();  // b, a, a
            dialog.Pregap()->setValue(0);
            dialog.Select(2);
            dialog.Remove();
            dialog.Select(1);
            dialog.MoveDown();  // at the end already
            rows.clear();
            for (int i = 0; i < dialog.List()->topLevelItemCount(); ++i) {
                rows += dialog.List()->topLevelItem(i)->text(0) + " " + dialog.List()->topLevelItem(i)->text(3) + ";";
            }
            if (ok) dialog.ApplyTo(project);
            return ok;
        };
        w.Trigger(ID_AUDIO_TRACKS);  // cancelled
        QVERIFY(w.project().audioTracks.empty());
        QCOMPARE(w.Title(), QString("Korvalin v1.5.4"));
        QVERIFY2(refused.startsWith(w.FilePath("mono.wav") + " is a WAV file of 1 channel(s)"), qPrintable(refused));
        QCOMPARE(rows, QString("2 00:00:00;3 00:02:00;"));
        ok = true;
        w.Trigger(ID_AUDIO_TRACKS);
        QCOMPARE(w.project().audioTracks.size(), size_t(2));
        QVERIFY(w.project().audioTracks[0].sourcePath == w.Path("b.wav"));
        QCOMPARE(w.project().audioTracks[0].pregapSectors, 0);
        QCOMPARE(w.project().audioTracks[1].pregapSectors, 150);
        QCOMPARE(w.Title(), QString("Korvalin v1.5.4*"));
        // 23 data sectors, 10 of b, 150 of pregap, 75 of a, from 00:02:00 on.
        QCOMPARE(w.frame().SummaryPane()->text(), test::NEW_PROJECT_SUMMARY + "Disc: 00:05:33 ");

        // Edit > New DA File...: the dummy file editor opens pinned to the
        // named track's sectors, and the entry follows that track.
        w.prompt().textAnswers = {std::string("4"), std::string("3")};
        w.Trigger(ID_NEW_DA_FILE);
        QCOMPARE(w.prompt().messages.back(), std::string("\"4\" is not an audio track of this project (2 to 3)."));
        QString lbaShown;
        w.AnswerEditor([&lbaShown](EntryEditorDialog& d) {
            d.NameField()->setText("SONG.DA");
            lbaShown = d.LbaField()->text();
        });
        w.Trigger(ID_NEW_DA_FILE);
        const FileEntry& da = w.project().fileTable.back();
        QCOMPARE(da.daTrack, 3);
        QCOMPARE(lbaShown, QString::number(PlaceAudioTracks(w.project())[1].startLba));
        QCOMPARE(da.lba, PlaceAudioTracks(w.project())[1].startLba);
    }

    // Edit > Descriptor Texts...: the kept texts are shown; a changed one is
    // kept padded with blanks, an emptied one gives way to the usual text,
    // and an untouched one keeps its bytes.
    void descriptorTexts() {
        test::Window w;
        SetVolumeText(w.project().volumeTexts, VOLUME_SYSTEM_ID, "PSX");
        w.project().volumeTexts.fields[VOLUME_SYSTEM_ID]->back() = 0;
        SetVolumeText(w.project().volumeTexts, VOLUME_APPLICATION_ID, "OLD APP");
        const auto system = w.project().volumeTexts.fields[VOLUME_SYSTEM_ID];
        QString shown;
        w.prompt().volumeTextsEditor = [&shown](Project& project) {
            VolumeTextsDialog dialog(project);
            shown = dialog.Field(VOLUME_SYSTEM_ID)->text() + "|" + dialog.Field(VOLUME_APPLICATION_ID)->text();
            dialog.Field(VOLUME_PUBLISHER_ID)->setText("ACME");
            dialog.Field(VOLUME_APPLICATION_ID)->clear();
            dialog.ApplyTo(project);
            return true;
        };
        w.Trigger(ID_VOLUME_TEXTS);
        QCOMPARE(shown, QString("PSX|OLD APP"));
        const VolumeTexts& texts = w.project().volumeTexts;
        QCOMPARE(VolumeTextOf(texts, VOLUME_PUBLISHER_ID), std::string("ACME"));
        QCOMPARE(texts.fields[VOLUME_PUBLISHER_ID]->size(), size_t{128});
        QVERIFY(!texts.fields[VOLUME_APPLICATION_ID]);
        QVERIFY(texts.fields[VOLUME_SYSTEM_ID] == system);
        QCOMPARE(w.Title(), QString("Korvalin v1.5.4*"));
    }

    void droppingAFolderFromTheFileManager() {
        test::Window w;
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
                 Texts{" Illegal directory name for: \\GAME\\ABC.D "});

        // The window the real prompt shows it in, with a warning line added.
        ErrorLog log = w.prompt().errorLogs[0];
        log.AddMessage("*warned");
        const ErrorLogWindow window(log);
        QTreeWidgetItem* error = window.List()->topLevelItem(3);
        QTreeWidgetItem* warning = window.List()->topLevelItem(4);
        QCOMPARE(error->text(0) + warning->text(0),
                 QString(" Illegal directory name for: \\GAME\\ABC.D warned"));
        QCOMPARE(test::StripIndexOf(error->icon(0)), int(ICON_ERROR));
        QCOMPARE(test::StripIndexOf(warning->icon(0)), int(ICON_WARNING));
    }

    // Add Files... and Add Folder... (menu, toolbar, context menu) take the
    // drop's way into the selected folder, refusals in the same log.
    void addingFilesAndAFolderByCommand() {
        test::Window w;
        test::AddDir(w.project(), "GAME");
        w.frame().OnDocumentChanged();
        w.WriteFile("a.bin", 10);
        w.WriteFile("toolongname.bin", 10);
        w.WriteFile("level/sub/map.dat", 3000);
        w.DoubleClick(w.Row("GAME"));
        w.prompt().filesAnswers = {{w.Path("a.bin"), w.Path("toolongname.bin")}, {}};
        w.Trigger(ID_ADD_FILES);
        w.Trigger(ID_ADD_FILES);  // cancelled
        w.prompt().folderAnswers = {w.Path("level")};
        w.list()->ContextMenuFor(w.Row("A.BIN"))->actions().last()->trigger();
        QCOMPARE(w.Names(), QStringList({"..", "LEVEL", "A.BIN"}));
        QCOMPARE(w.TreeChildren(1), QStringList({"LEVEL"}));
        QCOMPARE(w.prompt().errorLogs.size(), size_t{1});
        QCOMPARE(w.prompt().errorLogs[0].lines(),
                 Texts{"WARNING: illgal filename: \\GAME\\TOOLON~1.BIN "});
        QVERIFY(w.frame().SummaryPane()->text().endsWith("Files:2 Folders:4 "));
        QVERIFY(w.frame().isWindowModified());
    }

    // OK keeps the new entry, Cancel removes it again.
    void newSubDirectoryAndNewDummyFile() {
        test::Window w;
        w.AnswerEditor([&w](EntryEditorDialog& d) {
            QCOMPARE(d.windowTitle(), QString(" Directory Editor "));
            d.NameField()->setText("DATA.1");
            d.OkButton()->click();
            QCOMPARE(w.prompt().messages, Texts{"Illegal name "});
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
        QCOMPARE(w.project().fileTable[0].flags,
                 uint16_t(FLAG_DUMMY | FLAG_LBA_SET | FLAG_SIZE_SET));
        QCOMPARE(w.project().fileTable[0].size, 4096u);
        w.prompt().entryEditor = nullptr;
        w.Trigger(ID_CREATE_DUMMY_FILE);
        QCOMPARE(w.project().fileCount(), 1);
        QCOMPARE(w.prompt().entryEditorRuns, 4);
    }

    void editInfoWithRefusalsThenRemoveASubtree() {
        test::Window w;
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
            const Texts refusals = {"Illegal name ", " Duplicate Name ", "LBA not valid!!"};
            QCOMPARE(w.prompt().messages, refusals);
            QVERIFY(w.prompt().icons[2] == MessageIcon::Stop);
            // An unplaced entry opens with "-1", which must stay editable by typing.
            d.LbaField()->setText("-1");
            d.LbaField()->end(false);
            QTest::keyClick(d.LbaField(), Qt::Key_Backspace);
            QTest::keyClicks(d.LbaField(), "7x");
            QCOMPARE(d.LbaField()->text(), QString("-7"));
            d.NameField()->setText("C.BIN");
            d.LbaField()->setText(QString::number(pin));
        });
        w.list()->ContextMenuFor(w.Row("B.BIN"))->actions()[0]->trigger();  // Edit Info
        QCOMPARE(w.Lba("C.BIN"), QString("* %1").arg(pin));

        // DATA with its two levels, and A.BIN, selected together.
        for (const char* name : {"DATA", "A.BIN"}) {
            QTest::mouseClick(w.list()->viewport(), Qt::LeftButton, Qt::ControlModifier,
                              w.RowRect(name).center());
        }
        w.list()->ContextMenuFor(w.Row("DATA"))->actions()[2]->trigger();  // Remove
        QCOMPARE(w.Names(), QStringList({"NEW", "MOVIES", "C.BIN"}));
        QCOMPARE(p.fileTable[0].Name(), std::string_view("INTRO.STR"));
        QCOMPARE(p.fileTable[0].parent, 2u);  // MOVIES moved down to index 1
        QCOMPARE(w.TreeChildren(0), QStringList({"MOVIES"}));
    }

    void draggingFileRows() {
        test::Window w;
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
        QCOMPARE(w.prompt().messages, (Texts{
                     "the directory already has a file with the same name asA.BIN ",
                     " Directory already has a file with the same name as:  A.BIN "}));
        w.Drag("B.BIN", w.tree(), w.tree()->visualItemRect(w.tree()->DirTreeItem(data)));
        QCOMPARE(w.Names(), QStringList({"NEW", "DATA", "A.BIN"}));
        QCOMPARE(w.project().fileTable[0].parent, uint32_t(data + 1));
        QVERIFY(QApplication::overrideCursor() == nullptr);
    }

    // Two files pinned on one sector: the second is displaced.
    void compileAndTheClearingCommands() {
        test::Window w;
        Project& p = w.project();
        for (const char* name : {"A.BIN", "B.BIN"}) {
            w.WriteFile(name, 3000);
            FileEntry& file = p.fileTable[test::AddFile(p, name, 3000, 0, w.Path(name))];
            file.flags = FLAG_LBA_SET;
            file.lba = 100;
        }
        w.frame().OnDocumentChanged();
        QCOMPARE(w.Lba("B.BIN").left(1), QString("W"));
        w.prompt().okCancelAnswers.push_back(false);
        w.Trigger(ID_COMPILE_IMAGE);
        QCOMPARE(w.prompt().messages, Texts{"ATTENTION: some LBA settings have been displaced   "
                                            "¿Contintue with construction? "});
        QVERIFY(w.prompt().saveRequests.empty());

        w.Trigger(ID_REMOVE_WARNINGS);
        QCOMPARE(w.Lba("A.BIN") + w.Lba("B.BIN").left(1), QString("* 100 "));
        // The image is offered for verification.
        w.prompt().saveAnswers.push_back(w.Path("disc.bin"));
        w.prompt().yesNoAnswers.push_back(true);
        w.Trigger(ID_COMPILE_IMAGE);
        QCOMPARE(w.prompt().messages.back(), std::string("Verify the image now?"));
        QCOMPARE(QFileInfo(w.FilePath("disc.bin")).size(), p.layoutState.totalSectors * 2352LL);
        QVERIFY(QFileInfo::exists(w.FilePath("disc.cue")));
        QVERIFY(w.prompt().verifyReports.at(0).second.Sound());
        QCOMPARE(w.prompt().verifiedProjects[0], &p);
        // A source as the image is refused with the reason, after the dialog's
        // own question; the cue sheet beside an image is asked about too, and
        // No writes nothing.
        w.prompt().saveAnswers = {w.Path("A.BIN"), w.Path("disc.bin")};
        w.prompt().replaceAnswers = {true, true, false};
        w.Trigger(ID_COMPILE_IMAGE);
        QCOMPARE(w.prompt().messages.back(), UnsafeCompileOutput(p, "", w.Path("A.BIN")));
        QCOMPARE(QFileInfo(w.FilePath("A.BIN")).size(), 3000);
        w.prompt().messages.clear();
        w.Trigger(ID_COMPILE_IMAGE);
        QCOMPARE(w.prompt().messages,
                 (Texts{"replace " + w.Path("disc.bin"), "replace " + w.Path("disc.cue")}));
        QCOMPARE(w.prompt().verifyReports.size(), size_t(1));

        // A damaged sector of B.BIN's, found through Tools, names its owner.
        w.Overwrite("disc.bin", (p.fileTable[1].lba * 2352LL) + 100, "X");
        w.prompt().openAnswers.push_back(w.Path("disc.bin"));
        w.Trigger(ID_VERIFY_IMAGE);
        const VerifyReport& damaged = w.prompt().verifyReports.at(1).second;
        QVERIFY(w.prompt().verifiedProjects[1] == nullptr && damaged.problemCount > 0);
        const VerifyRow row = VerifyRows(damaged, &p).at(0);
        QCOMPARE(row.lba + row.owner, QString::number(p.fileTable[1].lba) + "\\B.BIN");
        // Without the project, the image's own directories name it.
        QCOMPARE(VerifyRows(damaged, nullptr, w.Path("disc.bin")).at(0).owner, QString("\\B.BIN"));
        const VerifyWindow window(w.Path("disc.bin"), damaged, &p);
        QCOMPARE(window.List()->topLevelItem(0)->text(2), QString("\\B.BIN"));
        QVERIFY(window.Summary()->text().contains(QString("%1 problem").arg(damaged.problemCount)));
        w.Trigger(ID_RESET_LBAS);
        QCOMPARE(w.Lba("A.BIN").left(1), QString(" "));
    }

    void importingAListing() {
        test::Window w;
        w.WriteFile("gamedisc/SYSTEM.CNF", 60);
        w.WriteFile("gamedisc/DATA/MAP.BIN", 5000);
        test::WriteText(w.Path("gamedisc/list.txt"),
                        "300 , \\SYSTEM.CNF\n400 , \\DATA\\MAP.BIN\n500 , \\GONE.BIN\n");
        // With unsaved changes it asks first. Cancelling that, or the options,
        // imports nothing; the real options dialog cancels on Escape.
        w.Trigger(ID_RESET_LBAS);
        w.prompt().saveChangesAnswers = {SaveChangesAnswer::Cancel, SaveChangesAnswer::Discard,
                                         SaveChangesAnswer::Discard};
        const std::string listing = w.Path("gamedisc/list.txt");
        w.prompt().openAnswers = {listing, listing, listing};
        w.prompt().importModeAnswers = {std::nullopt};
        w.Trigger(ID_IMPORT_ISOBUSTER);
        w.Trigger(ID_IMPORT_ISOBUSTER);
        QCOMPARE(w.Names(), QStringList({"NEW"}));
        QCOMPARE(w.prompt().messages, Texts(2, "Save changes?"));
        ImportOptionsDialog options;
        options.show();
        QTest::keyClick(&options, Qt::Key_Escape);
        QCOMPARE(options.result(), int(QDialog::Rejected));
        w.Trigger(ID_IMPORT_ISOBUSTER);
        QCOMPARE(w.prompt().openRequests.at(0).filter,
                 std::string("Texts (*.txt)|*.txt|All Files (*.*)|*.*||"));
        QVERIFY(!w.prompt().openRequests[0].fileMustExist);
        QCOMPARE(w.Names(), QStringList({"GAMEDISC", "DATA", "SYSTEM.CNF"}));
        QCOMPARE(w.Lba("SYSTEM.CNF"), QString("* 300"));
        QCOMPARE(w.TreeChildren(0), QStringList({"DATA"}));
        QCOMPARE(w.prompt().errorLogs.at(0).lines(),
                 Texts{"Cannot find filename:  " + w.Path("gamedisc/GONE.BIN") + " "});
        // The options the scripted prompt answers with: the dialog's default.
        QCOMPARE(options.Mode(), 0);
    }

    // The chosen file's extension names the format; a file that cannot be
    // written is reported by name.
    void exportingAListing() {
        test::Window w;
        w.WriteFile("MAIN.EXE", 5000);
        test::AddFile(w.project(), "MAIN.EXE", 5000, 0, w.Path("MAIN.EXE"));
        w.frame().OnDocumentChanged();
        const std::pair<const char*, ListingFormat> cases[] = {
            {"disc.txt", ListingFormat::ISOBUSTER},
            {"disc.LST", ListingFormat::LBA_TABLE},
            {"disc.h", ListingFormat::C_HEADER}};
        for (const auto& [name, format] : cases) {
            w.prompt().saveAnswers.push_back(w.Path(name));
            w.Trigger(ID_EXPORT_LISTING);
            const std::string text = ListingText(w.project(), format);
            QCOMPARE(test::ReadBytes(w.Path(name)), std::vector<uint8_t>(text.begin(), text.end()));
        }
        QCOMPARE(w.prompt().saveRequests.at(0).filter, std::string(LISTING_FILE_FILTER));
        QCOMPARE(w.prompt().saveRequests[0].defaultName, std::string("NEW"));
        w.Trigger(ID_EXPORT_LISTING);  // cancelled
        QVERIFY(w.prompt().messages.empty());
        const std::string missing = w.Path("none/disc.txt");
        w.prompt().saveAnswers.push_back(missing);
        w.Trigger(ID_EXPORT_LISTING);
        QCOMPARE(w.prompt().messages,
                 Texts{missing + ": cannot write the listing (No such file or directory)"});
    }
};

QTEST_MAIN(ProjectCommandsTest)
#include "project_commands_test.moc"
