// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/cue_sheet.h"

#include "image/audio_track_writer.h"
#include "image/compile_image.h"
#include "image/image_naming.h"
#include "image/text_output.h"
#include "model/message_format.h"

namespace korvalin {

namespace {
constexpr char CREATE_ERROR[] = "Error Creating %s!!!! ";
constexpr char WRITE_ERROR[] = "Error Writing %s!!!! ";
}  // namespace

std::string CueSheetText(const std::string& imageFileName) {
    return FormatMessage("FILE %c%s%c BINARY\n  TRACK 01 MODE2/2352\n    INDEX 01 00:00:00\n", '"',
                         imageFileName.c_str(), '"');
}

void WriteCueSheet(const Project& project, CompileState& state) {
    CrLfTextFile cue;
    if (!cue.Create(state.outputSidecarPath)) {
        state.compileMessage = FormatMessage(CREATE_ERROR, state.outputSidecarPath.c_str());
        return;
    }
    cue.Print(CueSheetText(FileNamePart(state.imagePath)) + AudioTrackCueLines(project));
    if (!cue.Close()) {
        state.compileMessage = FormatMessage(WRITE_ERROR, state.outputSidecarPath.c_str());
        return;
    }
    state.compileMessage = COMPILE_SUCCESS_MESSAGE;
}

}  // namespace korvalin
