// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/desktop_prompt.h"

#include <QFileInfo>

#include "ui/text_codec.h"

namespace korvalin {

std::optional<std::string> DesktopPrompt::AskSaveFile(const SaveFileRequest& request) {
    // The name is checked after the default extension was added, so that
    // "image" typed over an existing image.bin is asked about too.
    for (;;) {
        std::optional<std::string> name = AskSaveFileName(request);
        if (!name || !QFileInfo::exists(PathText(*name)) || AskReplaceFile(*name)) return name;
    }
}

}  // namespace korvalin
