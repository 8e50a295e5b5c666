// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the README's screenshots: the main window with a project opened from
// a file (the tree expanded, the first file row selected), the entry editor
// on that file, the volume label editor, an error log, the compile's
// progress window and the verify window over a copy of the compiled image
// with one damaged sector. Run it under a real X server or Xvfb, once per
// scale factor (QT_SCALE_FACTOR=2 for the second), on the demo project that
// `./build.sh demo` makes:
//   xvfb-run -a -s "-screen 0 2560x1600x24" build/src/ui/korvalin_screenshot
//       build/demo/demo.krv docs/screenshots
// Each file is named after the window and the scale: main-window@1x.png, ...

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QSplitter>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <functional>
#include <memory>

#include "image/compile_image.h"
#include "image/image_verifier.h"
#include "layout/error_log.h"
#include "model/audio_track.h"
#include "model/calendar_time.h"
#include "model/list_rows.h"
#include "model/project_file.h"
#include "model/volume_label_editor.h"
#include "ui/audio_tracks_dialog.h"
#include "ui/entry_editor_dialog.h"
#include "ui/error_log_window.h"
#include "ui/korvalin_app.h"
#include "ui/korvalin_view.h"
#include "ui/left_view.h"
#include "ui/main_frame.h"
#include "ui/progress_window.h"
#include "ui/system_area_dialog.h"
#include "ui/verify_window.h"
#include "ui/volume_label_dialog.h"

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

// The compiled image with one byte of the first file's first sector
// changed: the verify window then has a problem and its entry to show.
VerifyReport VerifyDamagedCopy(Project& project, const QString& image) {
    CompileState state;
    state.imagePath = QFile::encodeName(image).toStdString();
    CompileImage(project, state);
    QFile file(image);
    if (file.open(QIODevice::ReadWrite) && !project.fileTable.empty()) {
        file.seek(project.fileTable[0].lba * 2352LL + 100);
        file.write("!");
    }
    file.close();
    return VerifyImage(state.imagePath, VerifyOptions{});
}

// The project with two audio tracks of silence (raw CD audio, 30 and 45
// seconds) written into `folder`.
Project WithAudioTracks(Project project, const QDir& folder) {
    const int seconds[] = {30, 45};
    for (int i = 0; i < 2; ++i) {
        const QString path = folder.filePath(QString("track%1.raw").arg(i + 2));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly)) continue;
        file.resize(qint64{seconds[i]} * CD_FRAMES_PER_SECOND * AUDIO_SECTOR_BYTES);
        file.close();
        AudioTrack track;
        std::string problem;
        track.sourcePath = QFile::encodeName(path).toStdString();
        if (ProbeAudioSource(track.sourcePath, track, problem)) project.audioTracks.push_back(track);
    }
    return project;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: korvalin_screenshot PROJECT.krv OUTPUT_FOLDER\n");
        return 2;
    }
    const QString project = QString::fromLocal8Bit(argv[1]);
    const QDir output(QString::fromLocal8Bit(argv[2]));
    // Refused here, before the window would show the reason in a message box.
    Project check;
    std::string message;
    if (!OpenProjectFile(argv[1], check, kToday, message)) {
        std::fprintf(stderr, "korvalin_screenshot: %s\n", message.c_str());
        return 1;
    }
    if (!QDir().mkpath(output.path())) {
        std::fprintf(stderr, "korvalin_screenshot: cannot make %s\n", argv[2]);
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
    const int fileRow = FirstFileRow(*list);
    list->selectionModel()->select(list->model()->index(fileRow, 0),
                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
    Project& p = app.Document().project();

    EntryEditorState entry = OpenEntryEditor(p, list->ItemValue(fileRow));
    EntryEditorDialog entryEditor(p, entry, app.Prompt(), frame);
    VolumeLabelDialog labelEditor(OpenVolumeLabelEditor(p), frame);
    ErrorLog log;
    log.AddMessage("WARNING: illgal filename: \\DATA\\LONGFI~1.TXT ");
    log.AddMessage(" Directory name already exists: \\DATA");
    ErrorLogWindow errorLog(log, frame);
    ProgressWindow progress(frame);
    progress.SetRange(0, 100);
    progress.SetPosition(40);
    const std::string image = QFile::encodeName(work.filePath("demo.bin")).toStdString();
    VerifyWindow verify(image, VerifyDamagedCopy(p, work.filePath("demo.bin")), &p, frame);
    verify.resize(720, 260);
    const Project withTracks = WithAudioTracks(p, QDir(work.path()));
    AudioTracksDialog audioTracks(withTracks, app.Prompt(), frame);
    SystemAreaDialog systemArea(p, frame);

    const QString scale = QString("@%1x").arg(qRound(frame->devicePixelRatioF()));
    const std::pair<QWidget*, const char*> shots[] = {
        {frame, "main-window"},   {&entryEditor, "entry-editor"}, {&labelEditor, "label-editor"},
        {&errorLog, "error-log"}, {&progress, "compile-progress"}, {&verify, "verify-window"},
        {&audioTracks, "audio-tracks"}, {&systemArea, "system-area"},
    };
    for (const auto& [window, name] : shots) window->show();
    bool saved = true;
    QTimer::singleShot(800, &application, [&] {
        for (const auto& [window, name] : shots) {
            const QString path = output.filePath(QString("%1%2.png").arg(name, scale));
            if (!window->grab().save(path, "PNG")) {
                std::fprintf(stderr, "korvalin_screenshot: cannot write %s\n", qPrintable(path));
                saved = false;
            }
        }
        application.quit();
    });
    application.exec();
    return saved ? 0 : 1;
}
