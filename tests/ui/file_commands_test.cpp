// SPDX-License-Identifier: GPL-3.0-or-later
// New, Open, Save, Save As, the recent-files list and the unsaved-changes
// question, through the keys and the menus, with scripted file dialogs.

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "image/compile_image.h"
#include "image/image_verifier.h"
#include "layout/recompute_layout.h"
#include "ui/dialog_filters.h"
#include "ui/import_disc_image.h"
#include "ui/qt_user_prompt.h"
#include "ui_test_support.h"

using namespace korvalin;

namespace {

// A project whose label names it, with one folder, saved under `name`.
QString WriteProject(test::Window& w, const QString& name, const std::string& label) {
    Project project = test::NewProject();
    project.volumeInfo.SetLabel(label);
    test::AddDir(project, "DATA");
    return w.SaveProject(project, name);
}

// A.BIN, 5000 bytes from src/a.bin, on a disc labelled `label` compiled to `image`.
Project CompileOneFileDisc(test::Window& w, const char* image, const char* label) {
    w.WriteFile("src/a.bin", 5000);
    Project project = test::NewProject();
    if (label != nullptr) project.volumeInfo.SetLabel(label);
    test::AddFile(project, "A.BIN", 5000, 0, w.Path("src/a.bin"));
    RecomputeLayout(project);
    CompileState state;
    state.imagePath = w.Path(image);
    CompileImage(project, state);
    if (state.compileMessage != COMPILE_SUCCESS_MESSAGE) qFatal("%s", state.compileMessage.c_str());
    return project;
}

}  // namespace

class FileCommandsTest : public QObject {
    Q_OBJECT

private slots:
    // A refused file is reported: on the command line it leaves a new
    // untitled project, later the open project as it was.
    void openNewAndRefusedFiles() {
        test::Window w(test::MARCH_12, "missing.krv");
        QVERIFY(QString::fromStdString(w.prompt().messages.at(0)).contains("missing.krv"));
        QCOMPARE(w.frame().SummaryPane()->text(), test::NEW_PROJECT_SUMMARY);
        QCOMPARE(w.Title(), QString("Korvalin v1.5.4"));

        const QString good = WriteProject(w, "good.krv", "GOOD");
        w.prompt().openAnswers = {good.toStdString(), std::nullopt};
        w.Press(Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(w.prompt().openRequests.at(0).filter, std::string("KRV Files (*.krv)|*.krv||"));
        QCOMPARE(w.prompt().openRequests[0].defaultExtension, std::string("krv"));
        QCOMPARE(w.Names(), QStringList({"GOOD", "DATA"}));
        QCOMPARE(w.Title(), QString("good.krv - Korvalin v1.5.4"));
        w.Trigger(ID_FILE_OPEN);  // cancelled: the project stays
        QCOMPARE(w.Names().first(), QString("GOOD"));
        QCOMPARE(w.prompt().messages.size(), size_t{1});

        const QString bad = w.FilePath("bad.krv");
        w.WriteFile("bad.krv", 100);
        QVERIFY(!w.app().OpenDocumentFile(bad));
        QVERIFY(QString::fromStdString(w.prompt().messages.back())
                    .startsWith("Cannot open project file \"" + bad + "\": "));
        QCOMPARE(w.Names(), QStringList({"GOOD", "DATA"}));
        QCOMPARE(w.Title(), QString("good.krv - Korvalin v1.5.4"));
        QCOMPARE(w.app().RecentFiles().Paths(), QStringList({good}));

        w.Press(Qt::Key_N, Qt::ControlModifier);
        QCOMPARE(w.Names(), QStringList({"NEW"}));
        QCOMPARE(w.project().volumeInfo.hour, 10);  // the clock's 09:30 UTC plus one hour
        QCOMPARE(w.Title(), QString("Korvalin v1.5.4"));
    }

    // Every change marks the project; New, Open, a recent file, the import
    // and closing the window ask first. Save saves, Discard goes on,
    // Cancel (of the question or of the save dialog) stops.
    void unsavedChangesAreAskedAbout() {
        using enum SaveChangesAnswer;
        test::Window w;
        const QString other = WriteProject(w, "other.krv", "OTHER");
        w.prompt().volumeLabelEditor = [](VolumeLabelEditorState&) { return true; };
        w.Trigger(ID_EDIT_VOLUME_LABEL);
        QCOMPARE(w.Title(), QString("Korvalin v1.5.4*"));

        w.prompt().saveChangesAnswers = {Cancel, Save};  // then the save dialog is cancelled
        w.Press(Qt::Key_N, Qt::ControlModifier);
        w.Trigger(ID_FILE_NEW);
        w.prompt().openAnswers = {other.toStdString()};
        w.Trigger(ID_FILE_OPEN);
        w.Press(Qt::Key_Q, Qt::ControlModifier);
        QVERIFY(w.frame().isVisible());
        QCOMPARE(w.prompt().messages, std::vector<std::string>(4, "Save changes?"));
        QCOMPARE(w.Names().first(), QString("NEW"));

        const QString saved = w.FilePath("saved.krv");
        w.prompt().saveChangesAnswers = {Save};
        w.prompt().saveAnswers = {saved.toStdString()};
        w.prompt().openAnswers = {other.toStdString()};
        w.Trigger(ID_FILE_OPEN);
        QCOMPARE(w.Names().first(), QString("OTHER"));
        QCOMPARE(w.Title(), QString("other.krv - Korvalin v1.5.4"));
        QVERIFY(QFileInfo::exists(saved));

        w.Trigger(ID_RESET_LBAS);
        QCOMPARE(w.Title(), QString("other.krv* - Korvalin v1.5.4"));
        w.prompt().messages.clear();
        w.prompt().saveChangesAnswers = {Discard, Discard};
        w.frame().RecentFileActions()[1]->trigger();  // saved.krv
        QCOMPARE(w.Names().first(), QString("NEW"));
        w.Trigger(ID_RESET_LBAS);
        w.Trigger(ID_FILE_SAVE);  // titled: no question, and the mark goes
        QCOMPARE(w.Title(), QString("saved.krv - Korvalin v1.5.4"));
        w.Trigger(ID_RESET_LBAS);
        w.Press(Qt::Key_Q, Qt::ControlModifier);
        QVERIFY(!w.frame().isVisible());
        QCOMPARE(w.prompt().messages, std::vector<std::string>(2, "Save changes?"));
    }

    // A project folder that moved: a source missing where the file says is
    // found beside the project.
    void openFindsMovedSources() {
        test::Window w;
        w.WriteFile("game/data/a.bin", 10);
        Project project = test::NewProject();
        test::AddFile(project, "A.BIN", 10, 0, "/moved/away/game/data/a.bin");
        QVERIFY(w.app().OpenDocumentFile(w.SaveProject(project, "game/moved.krv")));
        QCOMPARE(w.project().fileTable.at(0).sourcePath.value_or(""), w.Path("game/data/a.bin"));
    }

    // File > Import Disc Image: a folder that is not empty is asked about
    // (No writes nothing); into a new one the files are extracted and the
    // project written there opens, pinned to the image's LBAs. Bytes another
    // tool left past the root directory's records are kept, and it says so.
    void importingADiscImage() {
        test::Window w;
        const Project disc = CompileOneFileDisc(w, "disc.iso", "GAME");
        w.Overwrite("disc.iso", int64_t{disc.dirTable[0].lba} * 2048 + 2040, "OTHER!!!");

        QAction* action = w.frame().findChild<QAction*>("importDiscImage");
        QVERIFY(action != nullptr);
        w.prompt().openAnswers = {w.Path("disc.iso"), w.Path("disc.iso")};
        w.prompt().folderAnswers = {w.Path("src"), w.Path("out")};
        action->trigger();
        QCOMPARE(w.prompt().messages, std::vector<std::string>{DUMP_FOLDER_NOT_EMPTY_QUESTION});
        QCOMPARE(QDir(w.FilePath("src")).count(), 3u);
        action->trigger();
        const std::string& summary = w.prompt().messages.at(1);
        QVERIFY(summary.rfind("1 directories, 1 files, 5000 bytes extracted to", 0) == 0);
        QVERIFY(summary.find("1 sectors the project cannot generate kept verbatim in " +
                             w.Path("out/GAME.ksec")) != std::string::npos);
        QCOMPARE(w.project().keptSectors.count, 1u);
        QCOMPARE(w.app().Document().path(), w.Path("out/GAME.krv"));
        const FileEntry& file = w.project().fileTable.at(0);
        QCOMPARE(std::string(file.Name()), std::string("A.BIN"));
        QVERIFY(file.IsPinned());
        QCOMPARE(file.lba, disc.fileTable[0].lba);
        QCOMPARE(QFileInfo(QString::fromStdString(file.sourcePath.value_or(""))).size(), 5000);
    }

    // Tools > Repair Image and Replace File in Image on a compiled raw image:
    // a damaged EDC and parity are rewritten after a backup, a smaller file's
    // bytes land in its sectors, and a larger one is refused.
    void patchingAnImage() {
        test::Window w;
        const int64_t lba = CompileOneFileDisc(w, "disc.bin", nullptr).fileTable[0].lba;
        const auto sectorAt = [&](int64_t sector, int64_t offset) { return (sector * 2352) + offset; };
        w.Overwrite("disc.bin", sectorAt(lba + 1, 2072), "\x01\x02");  // EDC
        w.Overwrite("disc.bin", sectorAt(lba + 1, 2100), "\xff");      // P parity
        QVERIFY(!VerifyImage(w.Path("disc.bin"), {}).Sound());
        auto& prompt = w.prompt();
        prompt.openAnswers = {w.Path("disc.bin")};
        prompt.yesNoCancelAnswers = {true};
        w.frame().findChild<QAction*>("repairImage")->trigger();
        QCOMPARE(prompt.openRequests.at(0).title, std::string("Repair Image"));
        QCOMPARE(prompt.messages.at(0), std::string("Keep a copy of the image (.orig) before repairing?"));
        const QString repaired = QString::fromStdString(prompt.messages.at(1));
        QVERIFY2(repaired.startsWith(QString("LBA %1: ").arg(lba + 1)), qPrintable(repaired));
        QVERIFY(repaired.endsWith("The image is sound."));
        QVERIFY(VerifyImage(w.Path("disc.bin"), {}).Sound());
        QVERIFY(QFileInfo::exists(w.FilePath("disc.bin.orig")));

        test::WriteBytes(w.Path("small.bin"), std::vector<uint8_t>(3000, 0x11));
        test::WriteBytes(w.Path("large.bin"), std::vector<uint8_t>(7000, 0x11));
        prompt.messages.clear();
        prompt.openAnswers = {w.Path("disc.bin"), w.Path("small.bin"), w.Path("disc.bin"), w.Path("large.bin")};
        prompt.textAnswers = {std::string("\\A.BIN"), std::string("\\A.BIN")};
        QAction* replace = w.frame().findChild<QAction*>("replaceFileInImage");
        replace->trigger();
        QCOMPARE(prompt.messages.at(1), std::string("\\A.BIN replaced: 3 sectors written, size 5000 -> 3000."));
        QFile image(w.FilePath("disc.bin"));
        QVERIFY(image.open(QIODevice::ReadOnly));
        image.seek(sectorAt(lba, 24));
        QByteArray data = image.read(2048);
        image.seek(sectorAt(lba + 1, 24));
        data += image.read(3000 - 2048);
        QCOMPARE(data, QByteArray(3000, 0x11));
        QVERIFY(VerifyImage(w.Path("disc.bin"), {}).Sound());
        replace->trigger();
        QVERIFY2(prompt.messages.at(3).find("2 sectors are missing") != std::string::npos, prompt.messages[3].c_str());
    }

    void saveAndSaveAs() {
        test::Window w;
        const QString first = w.FilePath("first.krv");
        w.prompt().saveAnswers = {std::nullopt, first.toStdString()};
        w.Press(Qt::Key_S, Qt::ControlModifier);  // cancelled: still untitled, so asked again
        w.Trigger(ID_FILE_SAVE);
        QCOMPARE(w.prompt().saveRequests.at(1).filter, std::string("KRV Files (*.krv)|*.krv||"));
        QCOMPARE(w.prompt().saveRequests[1].defaultExtension, std::string("krv"));
        QCOMPARE(w.Title(), QString("first.krv - Korvalin v1.5.4"));
        QCOMPARE(w.app().RecentFiles().Paths(), QStringList({first}));

        // Titled now: Save writes to its path without asking.
        w.project().volumeInfo.SetLabel("SECOND");
        w.Trigger(ID_FILE_SAVE);
        QCOMPARE(w.prompt().saveRequests.size(), size_t{2});

        // Replacing an existing file is asked; No asks for a name again.
        const QString second = w.FilePath("two.krv");
        w.WriteFile("two.krv", 10);
        w.prompt().saveAnswers = {second.toStdString(), second.toStdString(), second.toStdString()};
        w.prompt().replaceAnswers = {false, true};
        w.Trigger(ID_FILE_SAVE_AS);
        QCOMPARE(w.prompt().saveRequests.at(2).filter,
                 std::string("Korvalin Template File (*.krv)|*.krv||"));
        QCOMPARE(w.prompt().saveRequests[2].defaultName, first.toStdString());
        QCOMPARE(w.prompt().messages,
                 std::vector<std::string>(2, "replace " + second.toStdString()));
        QCOMPARE(w.app().RecentFiles().Paths(), QStringList({second, first}));
        w.prompt().messages.clear();

        const QString unwritable = w.FilePath("no/such/folder/x.krv");
        w.prompt().saveAnswers = {unwritable.toStdString()};
        w.Trigger(ID_FILE_SAVE_AS);
        QVERIFY(QString::fromStdString(w.prompt().messages.at(0))
                    .startsWith("Cannot save project file \"" + unwritable + "\""));
        QCOMPARE(w.app().Document().path(), second.toStdString());

        for (const QString& saved : {first, second}) {
            QVERIFY(w.app().OpenDocumentFile(saved));
            QCOMPARE(w.Names().first(), QString("SECOND"));
        }
    }

    void recentFilesKeepTheLastFourMostRecentFirst() {
        test::Window w;
        QStringList paths;
        for (int i = 0; i < 5; ++i) {
            paths << WriteProject(w, QString("p%1.krv").arg(i), "P" + std::to_string(i));
            QVERIFY(w.app().OpenDocumentFile(paths.last()));
        }
        QList<QAction*> entries = w.frame().RecentFileActions();
        QCOMPARE(test::ActionTexts(entries), QStringList({"&1 " + paths[4], "&2 " + paths[3],
                                                         "&3 " + paths[2], "&4 " + paths[1]}));
        QVERIFY(!w.frame().Action(ID_FILE_MRU_FIRST)->isVisible());

        entries[2]->trigger();  // loads the third and puts it first
        QCOMPARE(w.Names().first(), QString("P2"));
        const QStringList reordered = {paths[2], paths[4], paths[3], paths[1]};
        QCOMPARE(CKorvalinApp(w.settings()).RecentFiles().Paths(), reordered);  // the next start's

        // One that can no longer be opened leaves the list.
        QVERIFY(QFile::remove(paths[4]));
        w.frame().RecentFileActions()[1]->trigger();
        QCOMPARE(w.prompt().messages.size(), size_t{1});
        QCOMPARE(w.Names().first(), QString("P2"));
        QCOMPARE(test::ActionTexts(w.frame().RecentFileActions()),
                 QStringList({"&1 " + paths[2], "&2 " + paths[3], "&3 " + paths[1]}));
    }

    // The desktop's own questions: their texts and what each button answers.
    void theRealQuestions() {
        QtUserPrompt prompt;
        QString shown;
        const auto answer = [&shown](QMessageBox::StandardButton button) {
            QTimer::singleShot(0, [&shown, button] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                shown = box->text();
                box->button(button)->click();
            });
        };
        answer(QMessageBox::Discard);
        QVERIFY(prompt.AskSaveChanges() == SaveChangesAnswer::Discard);
        QCOMPARE(shown, QString("Save changes?"));
        answer(QMessageBox::Cancel);
        QVERIFY(prompt.AskSaveChanges() == SaveChangesAnswer::Cancel);
        answer(QMessageBox::No);
        QVERIFY(!prompt.AskReplaceFile("/out/disc.bin"));
        QCOMPARE(shown, QString("disc.bin already exists.\nDo you want to replace it?"));
        answer(QMessageBox::Yes);
        QVERIFY(prompt.AskReplaceFile("/out/disc.bin"));
    }

    // The real dialogs take the Windows filters; a typed name without an
    // extension gets the chosen filter's.
    void fileDialogFiltersAndDefaultExtensions() {
        QCOMPARE(ToQtFilter("BIN Files (*.bin)|*.bin|Pictures|*.png;*.jpg||"),
                 QString("BIN Files (*.bin);;Pictures (*.png *.jpg)"));
        QCOMPARE(FilterExtension("ISO Files (*.iso)") + FilterExtension("All Files (*.*)"),
                 std::string("iso"));
        QCOMPARE(WithDefaultExtension("/out.d/image", ".bin"), std::string("/out.d/image.bin"));
        QCOMPARE(WithDefaultExtension("/out/image.iso", "bin"), std::string("/out/image.iso"));
        QCOMPARE(WithDefaultExtension("/out/image", ""), std::string("/out/image"));
    }
};

QTEST_MAIN(FileCommandsTest)
#include "file_commands_test.moc"
