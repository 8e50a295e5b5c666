#pragma once
// Everything the desktop program asks or tells the user goes through one
// DesktopPrompt: the core's UserPrompt (message boxes, the save dialog) plus
// the open dialog and the program's own modal windows. The program uses
// QtUserPrompt; tests put a scripted one in its place.

#include <optional>
#include <string>

#include "layout/error_log.h"
#include "model/user_prompt.h"
#include "ui/volume_label_apply.h"

namespace korvalin {

struct OpenFileRequest {
    std::string filter;            // Windows form: "KRV Files (*.krv)|*.krv||"
    std::string defaultExtension;  // added when the typed name has none and does not exist
    bool fileMustExist = true;     // the folder must exist in any case
};

class DesktopPrompt : public UserPrompt {
public:
    // An open dialog; nothing when cancelled.
    virtual std::optional<std::string> AskOpenFile(const OpenFileRequest& request) = 0;
    // The "Volume Label Editor"; true for OK, with `values` holding the result.
    virtual bool EditVolumeLabel(VolumeLabelValues& values) = 0;
    // The "Error Log" window, modal.
    virtual void ShowErrorLog(const ErrorLog& log) = 0;
    virtual void ShowAbout() = 0;
};

}  // namespace korvalin
