// Writes the README's screenshot: the main window with a small demo project
// made through the core API. Run it under a real X server or Xvfb:
//   xvfb-run -a build/src/ui/korvalin_screenshot docs/screenshot.png

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <string>

#include "model/calendar_time.h"
#include "model/project.h"
#include "model/project_file.h"
#include "ui/korvalin_app.h"
#include "ui/korvalin_view.h"
#include "ui/left_view.h"
#include "ui/main_frame.h"

namespace {

using namespace korvalin;

const CalendarTime kToday{2024, 3, 12, 9, 30, 0};

EntryRecord Entry(const std::string& name, int32_t parentIndex, const CalendarTime& when) {
    EntryRecord entry;
    entry.SetName(name);
    entry.parent = static_cast<uint32_t>(parentIndex) + 1;
    entry.dosDate = PackDosDate(when);
    entry.dosTime = PackDosTime(when);
    entry.lba = -1;
    return entry;
}

int32_t AddDir(Project& project, const std::string& name, int32_t parentIndex) {
    EntryRecord dir = Entry(name, parentIndex, CalendarTime{2003, 5, 10, 18, 4, 0});
    dir.recordLength = DirRecordLength(dir.nameLength);
    project.dirTable.push_back(dir);
    return project.dirCount() - 1;
}

void AddFile(Project& project, const std::string& name, uint32_t size, int32_t parentIndex,
             const std::string& source, uint16_t flags = 0, int32_t lba = -1) {
    EntryRecord file = Entry(name, parentIndex, CalendarTime{2003, 5, 9, 22, 41, 16});
    file.recordLength = FileRecordLength(file.nameLength);
    file.size = size;
    file.flags = flags;
    file.lba = lba;
    if (!source.empty()) file.sourcePath = source;
    project.fileTable.push_back(file);
}

Project DemoProject() {
    Project project;
    StartNewProject(project, kToday);
    project.volumeInfo.SetLabel("DEMO_DISC");
    const std::string from = "/home/ana/ps2/demo/";
    const int32_t data = AddDir(project, "DATA", 0);
    const int32_t movies = AddDir(project, "MOVIES", 0);
    AddDir(project, "SOUND", 0);
    AddDir(project, "LEVELS", data);
    AddFile(project, "SYSTEM.CNF", 68, 0, from + "SYSTEM.CNF", FLAG_LBA_SET, 261);
    AddFile(project, "SLUS_209.46", 2871296, 0, from + "SLUS_209.46");
    AddFile(project, "IOPRP300.IMG", 297984, 0, from + "IOPRP300.IMG");
    AddFile(project, "LOADER.ELF", 151552, 0, from + "LOADER.ELF");
    AddFile(project, "INTRO.PSS", 18874368, movies, from + "MOVIES/INTRO.PSS");
    AddFile(project, "TITLE.TM2", 266240, data, from + "DATA/TITLE.TM2", FLAG_LBA_SET, 261);
    AddFile(project, "PADDING.BIN", 4194304, 0, "", FLAG_DUMMY | FLAG_LBA_SET, 12000);
    return project;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: korvalin_screenshot OUTPUT.png\n");
        return 2;
    }
    const QString output = QString::fromLocal8Bit(argv[1]);
    QTemporaryDir work;
    const std::string projectPath = work.filePath("demo.krv").toStdString();
    Project demo = DemoProject();
    std::string message;
    if (!SaveProjectFile(projectPath, demo, message)) {
        std::fprintf(stderr, "korvalin_screenshot: %s\n", message.c_str());
        return 1;
    }
    QSettings settings(work.filePath("settings.ini"), QSettings::IniFormat);
    CKorvalinApp app(settings, [] { return kToday; });
    app.InitInstance(QString::fromStdString(projectPath));
    CMainFrame* frame = app.MainFrame();
    frame->resize(1040, 600);
    frame->TreeView()->expandAll();
    frame->ListView()->selectionModel()->select(
        frame->ListView()->model()->index(5, 0),
        QItemSelectionModel::Select | QItemSelectionModel::Rows);

    bool saved = false;
    QTimer::singleShot(800, &application, [&] {
        saved = frame->grab().save(output, "PNG");
        application.quit();
    });
    application.exec();
    if (!saved) std::fprintf(stderr, "korvalin_screenshot: cannot write %s\n", argv[1]);
    return saved ? 0 : 1;
}
