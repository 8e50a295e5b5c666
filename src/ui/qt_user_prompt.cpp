// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/qt_user_prompt.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>

#include "ui/about_dialog.h"
#include "ui/audio_tracks_dialog.h"
#include "ui/dialog_filters.h"
#include "ui/entry_editor_dialog.h"
#include "ui/error_log_window.h"
#include "ui/import_options_dialog.h"
#include "ui/program_texts.h"
#include "ui/system_area_dialog.h"
#include "ui/text_codec.h"
#include "ui/verify_window.h"
#include "ui/volume_label_dialog.h"
#include "ui/volume_texts_dialog.h"

namespace korvalin {

void QtUserPrompt::ShowMessage(const std::string& text) {
    ShowMessageBox(text, PROGRAM_NAME, MessageIcon::None);
}

void QtUserPrompt::ShowMessageBox(const std::string& text, const std::string& caption,
                                  MessageIcon icon) {
    QMessageBox box(icon == MessageIcon::Stop ? QMessageBox::Critical : QMessageBox::NoIcon,
                    MessageText(caption), MessageText(text), QMessageBox::Ok, owner_);
    box.exec();
}

bool QtUserPrompt::AskOkCancel(const std::string& text) {
    QMessageBox box(QMessageBox::Warning, PROGRAM_NAME, MessageText(text),
                    QMessageBox::Ok | QMessageBox::Cancel, owner_);
    box.setDefaultButton(QMessageBox::Ok);
    return box.exec() == QMessageBox::Ok;
}

bool QtUserPrompt::AskReplaceFile(const std::string& path) {
    const QString name = QFileInfo(PathText(path)).fileName();
    QMessageBox box(QMessageBox::Warning, PROGRAM_NAME, QString(REPLACE_FILE_QUESTION).arg(name),
                    QMessageBox::Yes | QMessageBox::No, owner_);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

bool QtUserPrompt::AskYesNo(const std::string& text) {
    QMessageBox box(QMessageBox::Question, PROGRAM_NAME, MessageText(text),
                    QMessageBox::Yes | QMessageBox::No, owner_);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

std::optional<bool> QtUserPrompt::AskYesNoCancel(const std::string& text) {
    QMessageBox box(QMessageBox::Question, PROGRAM_NAME, MessageText(text),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, owner_);
    box.setDefaultButton(QMessageBox::Yes);
    const int answer = box.exec();
    if (answer != QMessageBox::Yes && answer != QMessageBox::No) return std::nullopt;
    return answer == QMessageBox::Yes;
}

std::optional<std::string> QtUserPrompt::AskText(const std::string& title, const std::string& label,
                                                 const std::string& initial) {
    bool ok = false;
    const QString text = QInputDialog::getText(owner_, MessageText(title), MessageText(label),
                                               QLineEdit::Normal, MessageText(initial), &ok);
    if (!ok) return std::nullopt;
    return text.toStdString();
}

SaveChangesAnswer QtUserPrompt::AskSaveChanges() {
    QMessageBox box(QMessageBox::Warning, PROGRAM_NAME, SAVE_CHANGES_QUESTION,
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, owner_);
    box.setDefaultButton(QMessageBox::Save);
    switch (box.exec()) {
        case QMessageBox::Save:
            return SaveChangesAnswer::Save;
        case QMessageBox::Discard:
            return SaveChangesAnswer::Discard;
        default:
            return SaveChangesAnswer::Cancel;
    }
}

std::vector<std::string> QtUserPrompt::AskFilesToAdd() {
    std::vector<std::string> paths;
    for (const QString& name : QFileDialog::getOpenFileNames(owner_, ADD_FILES_TITLE)) {
        paths.push_back(PathBytes(name));
    }
    return paths;
}

std::optional<std::string> QtUserPrompt::AskFolderToAdd() { return AskFolder(ADD_FOLDER_TITLE); }

std::optional<std::string> QtUserPrompt::AskFolder(const std::string& title) {
    const QString folder = QFileDialog::getExistingDirectory(owner_, MessageText(title));
    if (folder.isEmpty()) return std::nullopt;
    return PathBytes(folder);
}

std::optional<std::string> QtUserPrompt::AskSaveFileName(const SaveFileRequest& request) {
    QString chosenFilter;
    const QString name = QFileDialog::getSaveFileName(
        owner_, QString(), QString::fromStdString(request.defaultName),
        ToQtFilter(request.filter), &chosenFilter, QFileDialog::DontConfirmOverwrite);
    if (name.isEmpty()) return std::nullopt;
    // As on Windows, the chosen filter's extension is the default one.
    std::string extension = FilterExtension(chosenFilter);
    if (extension.empty()) extension = request.defaultExtension;
    return WithDefaultExtension(PathBytes(name), extension);
}

std::optional<std::string> QtUserPrompt::AskOpenFile(const OpenFileRequest& request) {
    QFileDialog dialog(owner_, QString(), QString(), ToQtFilter(request.filter));
    if (!request.title.empty()) dialog.setWindowTitle(MessageText(request.title));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(request.fileMustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    const std::string typed = PathBytes(dialog.selectedFiles().first());
    if (QFileInfo::exists(PathText(typed))) return typed;
    return WithDefaultExtension(typed, request.defaultExtension);
}

bool QtUserPrompt::EditVolumeLabel(VolumeLabelEditorState& state) {
    VolumeLabelDialog dialog(state, owner_);
    if (dialog.exec() != QDialog::Accepted) return false;
    state = dialog.State();
    return true;
}

bool QtUserPrompt::EditSystemArea(Project& project) {
    SystemAreaDialog dialog(project, owner_);
    if (dialog.exec() != QDialog::Accepted) return false;
    dialog.ApplyTo(project);
    return true;
}

bool QtUserPrompt::EditAudioTracks(Project& project) {
    AudioTracksDialog dialog(project, *this, owner_);
    if (dialog.exec() != QDialog::Accepted) return false;
    dialog.ApplyTo(project);
    return true;
}

bool QtUserPrompt::EditVolumeTexts(Project& project) {
    VolumeTextsDialog dialog(project, owner_);
    if (dialog.exec() != QDialog::Accepted) return false;
    dialog.ApplyTo(project);
    return true;
}

bool QtUserPrompt::EditEntry(Project& project, EntryEditorState& state) {
    EntryEditorDialog dialog(project, state, *this, owner_);
    return dialog.exec() == QDialog::Accepted;
}

std::optional<int32_t> QtUserPrompt::AskImportMode() {
    ImportOptionsDialog dialog(owner_);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.Mode();
}

void QtUserPrompt::ShowErrorLog(const ErrorLog& log) {
    ErrorLogWindow window(log, owner_);
    window.exec();
}

void QtUserPrompt::ShowAbout() {
    AboutDialog dialog(owner_);
    dialog.exec();
}

void QtUserPrompt::ShowVerifyReport(const std::string& imagePath, const VerifyReport& report,
                                  const Project* compiled) {
    VerifyWindow window(imagePath, report, compiled, owner_);
    window.exec();
}

}  // namespace korvalin
