// Writes the README's screenshot: the main window with a project opened from
// a file, the tree expanded and the first file row selected. Run it under a
// real X server or Xvfb, on the demo project that `./build.sh demo` makes:
//   xvfb-run -a build/src/ui/korvalin_screenshot build/demo/demo.krv docs/screenshot.png

#include <QApplication>
#include <QSettings>
#include <QSplitter>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

#include "model/calendar_time.h"
#include "model/list_rows.h"
#include "model/project_file.h"
#include "ui/korvalin_app.h"
#include "ui/korvalin_view.h"
#include "ui/left_view.h"
#include "ui/main_frame.h"

namespace {

using namespace korvalin;

// A day outside the season's greeting, so the status bar shows the summary.
const CalendarTime kToday{2024, 3, 12, 9, 30, 0};

int FirstFileRow(const CKorvalinView& list) {
    const auto& rows = list.Rows().Rows();
    for (size_t row = 0; row < rows.size(); ++row) {
        if (!IsDirId(rows[row].itemValue)) return static_cast<int>(row);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: korvalin_screenshot PROJECT.krv OUTPUT.png\n");
        return 2;
    }
    const QString project = QString::fromLocal8Bit(argv[1]);
    const QString output = QString::fromLocal8Bit(argv[2]);
    // Refused here, before the window would show the reason in a message box.
    Project check;
    std::string message;
    if (!OpenProjectFile(argv[1], check, kToday, message)) {
        std::fprintf(stderr, "korvalin_screenshot: %s\n", message.c_str());
        return 1;
    }
    QTemporaryDir work;
    QSettings settings(work.filePath("settings.ini"), QSettings::IniFormat);
    CKorvalinApp app(settings, [] { return kToday; });
    app.InitInstance(project);
    CMainFrame* frame = app.MainFrame();
    frame->resize(1040, 600);
    if (auto* panes = qobject_cast<QSplitter*>(frame->centralWidget())) panes->setSizes({180, 860});
    frame->TreeView()->expandAll();
    CKorvalinView* list = frame->ListView();
    list->selectionModel()->select(list->model()->index(FirstFileRow(*list), 0),
                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);

    bool saved = false;
    QTimer::singleShot(800, &application, [&] {
        saved = frame->grab().save(output, "PNG");
        application.quit();
    });
    application.exec();
    if (!saved) std::fprintf(stderr, "korvalin_screenshot: cannot write %s\n", argv[2]);
    return saved ? 0 : 1;
}
