#include "ui/import_disc_image.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>

#include "import/dump_disc.h"
#include "ui/korvalin_app.h"
#include "ui/main_frame.h"
#include "ui/progress_window.h"
#include "ui/text_codec.h"

namespace korvalin {

namespace {

constexpr char MENU_TEXT[] = "Import &Disc Image...";
constexpr char PROMPT[] = "Extract a disc image's files and open a project pinned to its LBAs";
constexpr char IMAGE_FILTER[] = "Disc images (*.cue *.bin *.iso *.img);;All Files (*)";
constexpr char NOT_EMPTY[] = "The folder is not empty. Write the files and the project into it anyway?";

QString SummaryText(const DumpResult& result) {
    QString text = QString("%1 directories, %2 files, %3 bytes extracted to %4\n%5 aliases became dummy files.")
                       .arg(result.directories)
                       .arg(result.files)
                       .arg(result.bytes)
                       .arg(PathText(result.filesFolder))
                       .arg(result.aliases);
    if (!result.unrepresented.empty()) {
        text += "\n\nNot kept by the project (a compile will differ here):";
        for (const std::string& line : result.unrepresented) text += "\n  " + QString::fromLatin1(line.c_str());
    }
    return text;
}

void ImportDiscImage(CMainFrame& frame, CKorvalinApp& app) {
    const QString image = QFileDialog::getOpenFileName(&frame, "Import Disc Image", QString(), IMAGE_FILTER);
    if (image.isEmpty()) return;
    const QString folder = QFileDialog::getExistingDirectory(&frame, "Folder for the files and the project");
    if (folder.isEmpty()) return;
    DumpOptions options{PathBytes(image), PathBytes(folder), "", false};
    if (!QDir(folder).isEmpty()) {
        if (QMessageBox::question(&frame, "korvalin", NOT_EMPTY) != QMessageBox::Yes) return;
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
        QMessageBox::warning(&frame, "korvalin", QString::fromLocal8Bit(message.c_str()));
        return;
    }
    QMessageBox::information(&frame, "korvalin", SummaryText(result));
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
