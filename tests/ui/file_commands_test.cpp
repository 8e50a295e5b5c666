// New, Open, Save, Save As and the recent-files list, with scripted dialogs.

#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QTest>

#include "test_support.h"
#include "ui/commands.h"
#include "ui/korvalin_view.h"
#include "ui/left_view.h"
#include "ui/main_frame.h"
#include "ui_test_support.h"

using namespace korvalin;

namespace {

// A project whose label names it, saved at `path`.
void WriteProject(const QString& path, const std::string& label) {
    Project project = test::NewProject();
    project.volumeInfo.SetLabel(label);
    test::AddDir(project, "DATA");
    test::SaveProjectAs(project, path);
}

QString Label(test::AppHarness& h) { return QString::fromLatin1(h.project().volumeInfo.Label()); }

void WriteGarbage(const QString& path) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("this is not a project file");
}

}  // namespace

class FileCommandsTest : public QObject {
    Q_OBJECT

private slots:
    void openAsksForAKrvFileAndLoadsIt() {
        test::AppHarness h;
        h.Start();
        const QString path = h.FilePath("a.krv");
        WriteProject(path, "ALPHA");
        h.prompt().openAnswers.push_back(path.toStdString());
        h.frame().Action(ID_FILE_OPEN)->trigger();
        QCOMPARE(h.prompt().openRequests.size(), size_t{1});
        QCOMPARE(h.prompt().openRequests[0].filter, std::string("KRV Files (*.krv)|*.krv||"));
        QCOMPARE(h.prompt().openRequests[0].defaultExtension, std::string("krv"));
        QCOMPARE(Label(h), QString("ALPHA"));
        QCOMPARE(h.project().dirCount(), 2);
        QCOMPARE(h.frame().TreeView()->topLevelItem(0)->text(0), QString("ALPHA"));
        QCOMPARE(h.frame().windowTitle(), QString("a.krv - Korvalin v1.5.4"));
        QVERIFY(h.prompt().messages.empty());

        // Cancelling the dialog keeps the project.
        h.frame().Action(ID_FILE_OPEN)->trigger();
        QCOMPARE(Label(h), QString("ALPHA"));
    }

    void aRefusedOpenShowsWhyAndLeavesANewProject() {
        test::AppHarness h;
        const QString good = h.FilePath("good.krv");
        WriteProject(good, "GOOD");
        h.Start(good);
        const QString bad = h.FilePath("bad.krv");
        WriteGarbage(bad);
        QVERIFY(!h.app().OpenDocumentFile(bad));
        QCOMPARE(h.prompt().messages.size(), size_t{1});
        const QString message = QString::fromStdString(h.prompt().messages[0]);
        QVERIFY2(message.startsWith("Cannot open project file \"" + bad + "\": "), qPrintable(message));
        QCOMPARE(Label(h), QString("NEW"));
        QCOMPARE(h.project().dirCount(), 1);
        QCOMPARE(h.app().Document().path(), std::string());
        QCOMPARE(h.frame().windowTitle(), QString("Korvalin v1.5.4"));
        QCOMPARE(h.frame().ListView()->Rows().Rows().size(), size_t{1});
        QCOMPARE(h.app().RecentFiles().Paths(), QStringList({good}));
    }

    void aRefusedFileOnTheCommandLineStartsANewProject() {
        test::AppHarness h;
        h.Start(h.FilePath("missing.krv"));
        QCOMPARE(h.prompt().messages.size(), size_t{1});
        QVERIFY(QString::fromStdString(h.prompt().messages[0]).contains("missing.krv"));
        QCOMPARE(Label(h), QString("NEW"));
        QCOMPARE(h.frame().SummaryPane()->text(),
                 QString("Time: 00:02   TOC: 52KB/ LBA:23  Files:0 Folders:1 "));
    }

    void savingAnUntitledProjectAsksForANameOnce() {
        test::AppHarness h;
        h.Start();
        const QString path = h.FilePath("first.krv");
        h.prompt().saveAnswers.push_back(path.toStdString());
        h.frame().Action(ID_FILE_SAVE)->trigger();
        QCOMPARE(h.prompt().saveRequests.size(), size_t{1});
        const SaveFileRequest& asked = h.prompt().saveRequests[0];
        QCOMPARE(asked.filter, std::string("KRV Files (*.krv)|*.krv||"));
        QCOMPARE(asked.defaultExtension, std::string("krv"));
        QCOMPARE(QFileInfo(path).size(), qint64(37833));  // root only
        QCOMPARE(h.frame().windowTitle(), QString("first.krv - Korvalin v1.5.4"));
        QCOMPARE(h.app().RecentFiles().Paths(), QStringList({path}));

        // Titled now: Save writes to its path without asking.
        h.project().volumeInfo.SetLabel("SECOND");
        h.frame().Action(ID_FILE_SAVE)->trigger();
        QCOMPARE(h.prompt().saveRequests.size(), size_t{1});
        test::AppHarness reopened;
        reopened.Start(path);
        QCOMPARE(Label(reopened), QString("SECOND"));
    }

    void cancellingTheSaveDialogWritesNothing() {
        test::AppHarness h;
        h.Start();
        h.prompt().saveAnswers.push_back(std::nullopt);
        h.frame().Action(ID_FILE_SAVE)->trigger();
        QCOMPARE(h.app().Document().path(), std::string());
        QCOMPARE(h.frame().windowTitle(), QString("Korvalin v1.5.4"));
        QVERIFY(h.app().RecentFiles().Paths().isEmpty());
    }

    void saveAsAsksWithTheTemplateFilterAndMovesThePath() {
        test::AppHarness h;
        const QString first = h.FilePath("one.krv");
        WriteProject(first, "ONE");
        h.Start(first);
        const QString second = h.FilePath("two.krv");
        h.prompt().saveAnswers.push_back(second.toStdString());
        h.frame().Action(ID_FILE_SAVE_AS)->trigger();
        QCOMPARE(h.prompt().saveRequests.size(), size_t{1});
        QCOMPARE(h.prompt().saveRequests[0].filter,
                 std::string("Korvalin Template File (*.krv)|*.krv||"));
        QCOMPARE(h.prompt().saveRequests[0].defaultName, first.toStdString());
        QVERIFY(QFileInfo::exists(second));
        QCOMPARE(h.app().Document().path(), second.toStdString());
        QCOMPARE(h.app().RecentFiles().Paths(), QStringList({second, first}));
    }

    void aFailedSaveShowsTheMessageAndKeepsThePath() {
        test::AppHarness h;
        h.Start();
        const QString unwritable = h.FilePath("no/such/folder/x.krv");
        h.prompt().saveAnswers.push_back(unwritable.toStdString());
        h.frame().Action(ID_FILE_SAVE)->trigger();
        QCOMPARE(h.prompt().messages.size(), size_t{1});
        QVERIFY(QString::fromStdString(h.prompt().messages[0])
                    .startsWith("Cannot save project file \"" + unwritable + "\""));
        QCOMPARE(h.app().Document().path(), std::string());
    }

    void newReplacesTheProject() {
        test::AppHarness h;
        const QString path = h.FilePath("p.krv");
        WriteProject(path, "OLD");
        h.Start(path);
        h.frame().Action(ID_FILE_NEW)->trigger();
        QCOMPARE(Label(h), QString("NEW"));
        QCOMPARE(h.project().dirCount(), 1);
        QCOMPARE(h.project().volumeInfo.hour, 10);  // the clock's 09:30 UTC plus one hour
        QCOMPARE(h.frame().windowTitle(), QString("Korvalin v1.5.4"));
        QCOMPARE(h.frame().TreeView()->topLevelItem(0)->text(0), QString("NEW"));
    }

    void recentFilesKeepTheLastFourMostRecentFirst() {
        test::AppHarness h;
        h.Start();
        QStringList paths;
        for (int i = 0; i < 5; ++i) {
            paths << h.FilePath(QString("p%1.krv").arg(i));
            WriteProject(paths.last(), "P" + std::to_string(i));
            QVERIFY(h.app().OpenDocumentFile(paths.last()));
        }
        const QStringList expected = {paths[4], paths[3], paths[2], paths[1]};
        QCOMPARE(h.app().RecentFiles().Paths(), expected);
        const QList<QAction*> entries = h.frame().RecentFileActions();
        QCOMPARE(entries.size(), 4);
        QCOMPARE(entries[0]->text(), "&1 " + paths[4]);
        QCOMPARE(entries[3]->text(), "&4 " + paths[1]);
        QVERIFY(!h.frame().Action(ID_FILE_MRU_FIRST)->isVisible());

        // Opening the third entry loads it and puts it first.
        entries[2]->trigger();
        QCOMPARE(Label(h), QString("P2"));
        QCOMPARE(h.app().RecentFiles().Paths(),
                 QStringList({paths[2], paths[4], paths[3], paths[1]}));

        // The settings store keeps the list for the next start.
        CKorvalinApp next(h.settings());
        QCOMPARE(next.RecentFiles().Paths(), h.app().RecentFiles().Paths());
        QCOMPARE(h.settings().value("Recent File List/File1").toString(), paths[2]);
    }

    void aRecentFileThatCannotBeOpenedLeavesTheList() {
        test::AppHarness h;
        const QString kept = h.FilePath("kept.krv");
        const QString gone = h.FilePath("gone.krv");
        WriteProject(kept, "KEPT");
        WriteProject(gone, "GONE");
        h.Start(kept);
        QVERIFY(h.app().OpenDocumentFile(gone));
        QVERIFY(QFile::remove(gone));
        h.frame().RecentFileActions()[0]->trigger();
        QCOMPARE(h.prompt().messages.size(), size_t{1});
        QCOMPARE(h.app().RecentFiles().Paths(), QStringList({kept}));
        QCOMPARE(h.frame().RecentFileActions().size(), 1);
        QCOMPARE(Label(h), QString("NEW"));
    }
};

QTEST_MAIN(FileCommandsTest)
#include "file_commands_test.moc"
