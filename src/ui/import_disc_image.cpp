// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/import_disc_image.h"

#include <QAction>
#include <QDir>
#include <QMenu>

#include "import/dump_disc.h"
#include "model/message_format.h"
#include "ui/korvalin_app.h"
#include "ui/main_frame.h"
#include "ui/progress_window.h"
#include "ui/text_codec.h"

namespace korvalin {

namespace {

constexpr char MENU_TEXT[] = "Import &Disc Image...";
constexpr char PROMPT[] = "Extract a disc image's files and open a project pinned to its LBAs";
constexpr char IMAGE_FILTER[] = "Disc images (*.cue *.bin *.iso *.img)|*.cue;*.bin;*.iso;*.img|All Files (*.*)|*.*||";
constexpr char FOLDER_TITLE[] = "Folder for the files and the project";

std::string SummaryText(const DumpResult& result) {
    std::string text = FormatMessage("%d directories, %d files, %lld bytes extracted to %s\n%d aliases became dummy files.",
                                     result.directories, result.files, static_cast<long long>(result.bytes),
                                     result.filesFolder.c_str(), result.aliases);
    if (!result.keptPath.empty()) {
        text += FormatMessage("\n%d sectors the project cannot generate kept verbatim in %s (%lld bytes): an "
                              "unchanged compile gives the disc back byte for byte.",
                              result.keptSectors, result.keptPath.c_str(), static_cast<long long>(result.keptBytes));
    }
    if (!result.unrepresented.empty()) {
        text += result.keptPath.empty() ? "\n\nNot kept by the project (a compile will differ here):"
                                        : "\n\nNot held by the project (the kept sectors give them back while the "
                                          "tree is unchanged):";
        for (const std::string& line : result.unrepresented) text += "\n  " + line;
    }
    return text;
}

void ImportDiscImage(CMainFrame& frame, CKorvalinApp& app) {
    DesktopPrompt& prompt = app.Prompt();
    const std::optional<std::string> image = prompt.AskOpenFile({IMAGE_FILTER, "", true, "Import Disc Image"});
    if (!image) return;
    const std::optional<std::string> folder = prompt.AskFolder(FOLDER_TITLE);
    if (!folder) return;
    DumpOptions options{*image, *folder, "", false};
    if (!QDir(PathText(*folder)).isEmpty()) {
        if (!prompt.AskYesNo(DUMP_FOLDER_NOT_EMPTY_QUESTION)) return;
        options.force = true;
    }
    DumpResult result;
    std::string message;
    int status = 0;
    {
        ProgressWindow progress(&frame);
        progress.setWindowTitle("Import Disc Image");
        progress.SetRange(0, BULK_PROGRESS_RANGE);
        progress.show();
        status = DumpDiscImage(options, result, message, progress.Callback());
    }
    if (status != 0) {
        prompt.ShowMessage(message);
        return;
    }
    prompt.ShowMessage(SummaryText(result));
    app.OpenDocumentFile(PathText(result.projectPath));
}

}  // namespace

QAction* AddImportDiscImageAction(QMenu* fileMenu, QAction* before, CMainFrame& frame, CKorvalinApp& app) {
    auto* action = new QAction(MENU_TEXT, &frame);
    action->setObjectName("importDiscImage");
    action->setStatusTip(PROMPT);
    QObject::connect(action, &QAction::triggered, &frame, [&frame, &app] { ImportDiscImage(frame, app); });
    fileMenu->insertAction(before, action);
    return action;
}

}  // namespace korvalin
