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
    std::optional<std::string> AskSaveFile(const SaveFileRequest& request) override;
    std::optional<std::string> AskOpenFile(const OpenFileRequest& request) override;
    bool EditVolumeLabel(VolumeLabelEditorState& state) override;
    bool EditSystemArea(Project& project) override;
    bool EditEntry(Project& project, EntryEditorState& state) override;
    int32_t AskImportMode() override;
    void ShowErrorLog(const ErrorLog& log) override;
    void ShowAbout() override;

private:
    QPointer<QWidget> owner_;
};

}  // namespace korvalin
