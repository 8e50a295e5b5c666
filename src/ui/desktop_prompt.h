#pragma once
// Everything the desktop program asks or tells the user goes through one
// DesktopPrompt: the core's UserPrompt (message boxes, the save dialog) plus
// the open dialog and the program's own modal windows. The program uses
// QtUserPrompt; tests put a scripted one in its place.

#include <cstdint>
#include <optional>
#include <string>

#include "layout/error_log.h"
#include "model/entry_editor.h"
#include "model/project.h"
#include "model/user_prompt.h"
#include "model/volume_label_editor.h"

namespace korvalin {

struct OpenFileRequest {
    std::string filter;            // Windows form: "KRV Files (*.krv)|*.krv||"
    std::string defaultExtension;  // added when the typed name has none and does not exist
    bool fileMustExist = true;     // the folder must exist in any case
};

enum class MessageIcon { None, Stop };

class DesktopPrompt : public UserPrompt {
public:
    // A message box with an OK button, its own caption and icon. ShowMessage
    // is this with the program's name and no icon.
    virtual void ShowMessageBox(const std::string& text, const std::string& caption,
                                MessageIcon icon) = 0;
    // An open dialog; nothing when cancelled.
    virtual std::optional<std::string> AskOpenFile(const OpenFileRequest& request) = 0;
    // The "Volume Label Editor" on `state`; true for OK, with `state` holding
    // what the user set.
    virtual bool EditVolumeLabel(VolumeLabelEditorState& state) = 0;
    // The "System Area" dialog on the project's system area and its
    // settings; true for OK, with the project holding what the user set.
    virtual bool EditSystemArea(Project& project) = 0;
    // The entry editor on `state`, the commands' EntryEditorRunner: true when
    // it closed with OK, which it does only once ConfirmEntryEditor passed.
    virtual bool EditEntry(Project& project, EntryEditorState& state) = 0;
    // "IsoBuster Tree Listing Import Options": the chosen ImportMode, 0 when
    // the dialog was closed other than with OK.
    virtual int32_t AskImportMode() = 0;
    // The "Error Log" window, modal.
    virtual void ShowErrorLog(const ErrorLog& log) = 0;
    virtual void ShowAbout() = 0;
};

}  // namespace korvalin
