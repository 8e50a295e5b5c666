// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What an operation may need to ask or tell the user. The desktop answers
// with dialogs and message boxes, the command line with its options, tests
// with scripted answers.

#include <optional>
#include <string>

namespace korvalin {

struct SaveFileRequest {
    std::string defaultName;       // e.g. "image"
    std::string defaultExtension;  // added when the user types none, e.g. "bin"
    std::string filter;            // e.g. "BIN Files (*.bin)|*.bin|ISO Files (*.iso)|*.iso||"
};

class UserPrompt {
public:
    virtual ~UserPrompt() = default;
    // A message box with an OK button, captioned with the program's name.
    virtual void ShowMessage(const std::string& text) = 0;
    // OK/Cancel; true for OK.
    virtual bool AskOkCancel(const std::string& text) = 0;
    // A save dialog; nothing when cancelled.
    virtual std::optional<std::string> AskSaveFile(const SaveFileRequest& request) = 0;
};

}  // namespace korvalin
