// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/patch_image_actions.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "image/image_verifier.h"
#include "model/message_format.h"
#include "patch/inject_file.h"
#include "patch/repair_image.h"
#include "ui/korvalin_app.h"
#include "ui/main_frame.h"
#include "ui/progress_window.h"

namespace korvalin {

namespace {

constexpr char TOOLS_MENU[] = "&Tools";
constexpr char IMAGE_FILTER[] = "Disc images (*.cue *.bin *.iso *.img)|*.cue;*.bin;*.iso;*.img|All Files (*)|*||";
constexpr char ALL_FILES_FILTER[] = "All Files (*)|*||";
constexpr char BACKUP_QUESTION[] = "Keep a copy of the image (.orig) before repairing?";
constexpr char DISC_PATH_LABEL[] = "File on the disc (\\DATA\\FILE.BIN):";
constexpr int LISTED_SECTORS = 20;

QMenu* ToolsMenu(CMainFrame& frame) {
    QMenuBar* bar = frame.menuBar();
    QAction* help = nullptr;
    for (QAction* action : bar->actions()) {
        if (action->menu() == nullptr) continue;
        if (action->text() == TOOLS_MENU) return action->menu();
        if (action->text() == "&Help") help = action;
    }
    auto* menu = new QMenu(TOOLS_MENU, &frame);
    bar->insertMenu(help, menu);
    return menu;
}

std::string RepairText(const RepairReport& report, const std::string& image) {
    std::string text;
    int listed = 0;
    for (const RepairedSector& s : report.repaired) {
        if (listed++ == LISTED_SECTORS) {
            text += FormatMessage("... and %zu more\n", report.repaired.size() - LISTED_SECTORS);
            break;
        }
        text += FormatMessage("LBA %lld: %s", static_cast<long long>(s.lba), s.wrong.c_str());
        text += s.owner.empty() ? "\n" : " (" + s.owner + ")\n";
    }
    text += FormatMessage("%lld sectors checked, %zu repaired.\n", static_cast<long long>(report.sectorsChecked),
                          report.repaired.size());
    if (!report.backupFile.empty()) text += "Backup: " + report.backupFile + "\n";
    const VerifyReport verified = VerifyImage(image, {});
    text += verified.Sound() ? std::string("The image is sound.")
                             : FormatMessage("%lld problems remain: run korvalin verify for the list.",
                                             static_cast<long long>(verified.problemCount));
    return text;
}

void RepairImageCommand(CMainFrame& frame, CKorvalinApp& app) {
    DesktopPrompt& prompt = app.Prompt();
    const std::optional<std::string> image = prompt.AskOpenFile({IMAGE_FILTER, "", true, "Repair Image"});
    if (!image) return;
    const std::optional<bool> backup = prompt.AskYesNoCancel(BACKUP_QUESTION);
    if (!backup) return;
    RepairOptions options;
    options.backup = *backup;
    RepairReport report;
    std::string message;
    bool done = false;
    {
        ProgressWindow progress(&frame);
        progress.setWindowTitle("Repair Image");
        progress.SetRange(0, BULK_PROGRESS_RANGE);
        progress.show();
        done = RepairImage(*image, options, report, message, progress.Callback());
    }
    prompt.ShowMessage(done ? RepairText(report, *image) : message);
}

void ReplaceFileCommand(CMainFrame&, CKorvalinApp& app) {
    DesktopPrompt& prompt = app.Prompt();
    const std::optional<std::string> image =
        prompt.AskOpenFile({IMAGE_FILTER, "", true, "Replace File in Image"});
    if (!image) return;
    const std::optional<std::string> discPath =
        prompt.AskText("Replace File in Image", DISC_PATH_LABEL, "\\");
    if (!discPath || discPath->empty()) return;
    const std::optional<std::string> file = prompt.AskOpenFile({ALL_FILES_FILTER, "", true, "The new data"});
    if (!file) return;
    InjectReport report;
    std::string message;
    if (!InjectFile(*image, *discPath, *file, report, message)) {
        prompt.ShowMessage(message);
        return;
    }
    const InjectedFile& f = report.injected.front();
    prompt.ShowMessage(FormatMessage("%s replaced: %lld sectors written, size %u -> %u.", f.discPath.c_str(),
                                     static_cast<long long>(f.sectors), f.oldSize, f.newSize));
}

QAction* AddAction(CMainFrame& frame, CKorvalinApp& app, QMenu* menu, const char* text, const char* name,
                   const char* tip, void (*command)(CMainFrame&, CKorvalinApp&)) {
    auto* action = new QAction(text, &frame);
    action->setObjectName(name);
    action->setStatusTip(tip);
    QObject::connect(action, &QAction::triggered, &frame, [&frame, &app, command] { command(frame, app); });
    menu->addAction(action);
    return action;
}

}  // namespace

void AddPatchImageActions(CMainFrame& frame, CKorvalinApp& app) {
    QMenu* tools = ToolsMenu(frame);
    AddAction(frame, app, tools, "&Repair Image...", "repairImage",
              "Rewrite a raw image's sector addresses, EDC and parity in place", RepairImageCommand);
    AddAction(frame, app, tools, "Replace &File in Image...", "replaceFileInImage",
              "Replace a file's data inside an image, in the sectors it already has", ReplaceFileCommand);
}

}  // namespace korvalin
