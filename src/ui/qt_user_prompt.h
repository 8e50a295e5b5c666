// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The desktop's answers: message boxes captioned "Korvalin", Qt file
// dialogs, and the program's own modal windows.

#include <QPointer>
#include <QWidget>

#include "ui/desktop_prompt.h"

namespace korvalin {

class QtUserPrompt : public DesktopPrompt {
public:
    // Dialogs are centred over the main window once it is known.
    void SetOwner(QWidget* owner) { owner_ = owner; }

    void ShowMessage(const std::string& text) override;
    void ShowMessageBox(const std::string& text, const std::string& caption,
                        MessageIcon icon) override;
    bool AskOkCancel(const std::string& text) override;
    std::optional<std::string> AskSaveFileName(const SaveFileRequest& request) override;
    bool AskReplaceFile(const std::string& path) override;
    bool AskYesNo(const std::string& text) override;
    std::optional<bool> AskYesNoCancel(const std::string& text) override;
    std::optional<std::string> AskText(const std::string& title, const std::string& label,
                                       const std::string& initial) override;
    SaveChangesAnswer AskSaveChanges() override;
    std::optional<std::string> AskOpenFile(const OpenFileRequest& request) override;
    std::vector<std::string> AskFilesToAdd() override;
    std::optional<std::string> AskFolderToAdd() override;
    std::optional<std::string> AskFolder(const std::string& title) override;
    bool EditVolumeLabel(VolumeLabelEditorState& state) override;
    bool EditSystemArea(Project& project) override;
    bool EditAudioTracks(Project& project) override;
    bool EditVolumeTexts(Project& project) override;
    bool EditEntry(Project& project, EntryEditorState& state) override;
    std::optional<int32_t> AskImportMode() override;
    void ShowErrorLog(const ErrorLog& log) override;
    void ShowAbout() override;
    void ShowVerifyReport(const std::string& imagePath, const VerifyReport& report,
                                  const Project* compiled) override;

private:
    QPointer<QWidget> owner_;
};

}  // namespace korvalin
