// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/patch_image_actions.h"

#include <QAction>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>

#include "image/image_verifier.h"
#include "patch/inject_file.h"
#include "patch/repair_image.h"
#include "ui/main_frame.h"
#include "ui/progress_window.h"
#include "ui/text_codec.h"

namespace korvalin {

namespace {

constexpr char TOOLS_MENU[] = "&Tools";
constexpr char IMAGE_FILTER[] = "Disc images (*.cue *.bin *.iso *.img);;All Files (*)";
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

QString Local(const std::string& text) { return QString::fromLocal8Bit(text.c_str()); }

QString RepairText(const RepairReport& report, const std::string& image) {
    QString text;
    int listed = 0;
    for (const RepairedSector& s : report.repaired) {
        if (listed++ == LISTED_SECTORS) {
            text += QString("... and %1 more\n").arg(report.repaired.size() - LISTED_SECTORS);
            break;
        }
        text += QString("LBA %1: %2").arg(s.lba).arg(Local(s.wrong));
        text += s.owner.empty() ? "\n" : QString(" (%1)\n").arg(Local(s.owner));
    }
    text += QString("%1 sectors checked, %2 repaired.\n").arg(report.sectorsChecked).arg(report.repaired.size());
    if (!report.backupFile.empty()) text += "Backup: " + PathText(report.backupFile) + "\n";
    const VerifyReport verified = VerifyImage(image, {});
    text += verified.Sound() ? QString("The image is sound.")
                             : QString("%1 problems remain: run korvalin verify for the list.").arg(verified.problemCount);
    return text;
}

void RepairImageCommand(CMainFrame& frame) {
    const QString image = QFileDialog::getOpenFileName(&frame, "Repair Image", QString(), IMAGE_FILTER);
    if (image.isEmpty()) return;
    const auto answer = QMessageBox::question(&frame, "korvalin", "Keep a copy of the image (.orig) before repairing?",
                                              QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    if (answer == QMessageBox::Cancel) return;
    RepairOptions options;
    options.backup = answer == QMessageBox::Yes;
    RepairReport report;
    std::string message;
    bool done = false;
    {
        ProgressWindow progress(&frame);
        progress.setWindowTitle("Repair Image");
        progress.SetRange(0, BULK_PROGRESS_RANGE);
        progress.show();
        done = RepairImage(PathBytes(image), options, report, message, progress.Callback());
    }
    if (!done) {
        QMessageBox::warning(&frame, "korvalin", Local(message));
        return;
    }
    QMessageBox::information(&frame, "korvalin", RepairText(report, PathBytes(image)));
}

void ReplaceFileCommand(CMainFrame& frame) {
    const QString image = QFileDialog::getOpenFileName(&frame, "Replace File in Image", QString(), IMAGE_FILTER);
    if (image.isEmpty()) return;
    bool ok = false;
    const QString discPath = QInputDialog::getText(&frame, "Replace File in Image", "File on the disc (\\DATA\\FILE.BIN):",
                                                   QLineEdit::Normal, "\\", &ok);
    if (!ok || discPath.isEmpty()) return;
    const QString file = QFileDialog::getOpenFileName(&frame, "The new data");
    if (file.isEmpty()) return;
    InjectReport report;
    std::string message;
    if (!InjectFile(PathBytes(image), discPath.toStdString(), PathBytes(file), report, message)) {
        QMessageBox::warning(&frame, "korvalin", Local(message));
        return;
    }
    const InjectedFile& f = report.injected.front();
    QMessageBox::information(&frame, "korvalin",
                             QString("%1 replaced: %2 sectors written, size %3 -> %4.")
                                 .arg(Local(f.discPath))
                                 .arg(f.sectors)
                                 .arg(f.oldSize)
                                 .arg(f.newSize));
}

QAction* AddAction(CMainFrame& frame, QMenu* menu, const char* text, const char* name, const char* tip,
                   void (*command)(CMainFrame&)) {
    auto* action = new QAction(text, &frame);
    action->setObjectName(name);
    action->setStatusTip(tip);
    QObject::connect(action, &QAction::triggered, &frame, [&frame, command] { command(frame); });
    menu->addAction(action);
    return action;
}

}  // namespace

void AddPatchImageActions(CMainFrame& frame) {
    QMenu* tools = ToolsMenu(frame);
    AddAction(frame, tools, "&Repair Image...", "repairImage",
              "Rewrite a raw image's sector addresses, EDC and parity in place", RepairImageCommand);
    AddAction(frame, tools, "Replace &File in Image...", "replaceFileInImage",
              "Replace a file's data inside an image, in the sectors it already has", ReplaceFileCommand);
}

}  // namespace korvalin
