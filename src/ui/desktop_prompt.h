// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Everything the desktop program asks or tells the user goes through one
// DesktopPrompt: the core's UserPrompt (message boxes, the save dialog) plus
// the open dialog and the program's own modal windows. The program uses
// QtUserPrompt; tests put a scripted one in its place.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

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
    std::string title;             // the dialog's caption; "" for the platform's own
};

enum class MessageIcon { None, Stop };

enum class SaveChangesAnswer { Save, Discard, Cancel };

inline constexpr char SAVE_CHANGES_QUESTION[] = "Save changes?";
inline constexpr char VERIFY_OFFER_QUESTION[] = "Verify the image now?";
// The question of the platform's save dialog; %1 is the file's name.
inline constexpr char REPLACE_FILE_QUESTION[] = "%1 already exists.\nDo you want to replace it?";

struct VerifyReport;

class DesktopPrompt : public UserPrompt {
public:
    // The save dialog: asks for a name (AskSaveFileName) and, when a file of
    // that name exists, whether to replace it; No asks for a name again.
    std::optional<std::string> AskSaveFile(const SaveFileRequest& request) final;
    // A save dialog's own answer, the default extension already added.
    virtual std::optional<std::string> AskSaveFileName(const SaveFileRequest& request) = 0;
    // Yes/No: replace the existing file `path`?
    virtual bool AskReplaceFile(const std::string& path) = 0;
    virtual bool AskYesNo(const std::string& text) = 0;
    // Yes/No/Cancel: true for Yes, false for No, nothing for Cancel.
    virtual std::optional<bool> AskYesNoCancel(const std::string& text) = 0;
    // A line of text under `label`, starting at `initial`; nothing when cancelled.
    virtual std::optional<std::string> AskText(const std::string& title, const std::string& label,
                                               const std::string& initial) = 0;
    // "Save changes?" with Save, Discard and Cancel.
    virtual SaveChangesAnswer AskSaveChanges() = 0;

    // A message box with an OK button, its own caption and icon. ShowMessage
    // is this with the program's name and no icon.
    virtual void ShowMessageBox(const std::string& text, const std::string& caption,
                                MessageIcon icon) = 0;
    // An open dialog; nothing when cancelled.
    virtual std::optional<std::string> AskOpenFile(const OpenFileRequest& request) = 0;
    // Files and folders to add from disk; empty when cancelled.
    virtual std::vector<std::string> AskFilesToAdd() = 0;
    virtual std::optional<std::string> AskFolderToAdd() = 0;
    // A folder dialog titled `title`; nothing when cancelled.
    virtual std::optional<std::string> AskFolder(const std::string& title) = 0;
    // The "Volume Label Editor" on `state`; true for OK, with `state` holding
    // what the user set.
    virtual bool EditVolumeLabel(VolumeLabelEditorState& state) = 0;
    // The "System Area" dialog on the project's system area and its
    // settings; true for OK, with the project holding what the user set.
    virtual bool EditSystemArea(Project& project) = 0;
    // The "Audio Tracks" dialog on the project's tracks; true for OK, with
    // the project holding what the user set.
    virtual bool EditAudioTracks(Project& project) = 0;
    // The "Descriptor Texts" dialog; true for OK, with the project holding
    // the texts the user set.
    virtual bool EditVolumeTexts(Project& project) = 0;
    // The entry editor on `state`, the commands' EntryEditorRunner: true when
    // it closed with OK, which it does only once ConfirmEntryEditor passed.
    virtual bool EditEntry(Project& project, EntryEditorState& state) = 0;
    // "IsoBuster Tree Listing Import Options": the chosen ImportMode; nothing
    // when the dialog was cancelled (Cancel, Escape or its close button).
    virtual std::optional<int32_t> AskImportMode() = 0;
    // The "Error Log" window, modal.
    virtual void ShowErrorLog(const ErrorLog& log) = 0;
    virtual void ShowAbout() = 0;
    // The "Verify Image" window over what the verifier found in `imagePath`;
    // `compiled` is the project it was just compiled from, or nullptr.
    virtual void ShowVerifyReport(const std::string& imagePath, const VerifyReport& report,
                                  const Project* compiled) = 0;
};

}  // namespace korvalin
