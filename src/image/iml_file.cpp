// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/iml_file.h"

#include "image/compile_image.h"
#include "image/image_naming.h"
#include "image/next_extent.h"
#include "image/volume_date.h"
#include "model/message_format.h"

namespace korvalin {

namespace {

constexpr char SYS_FORMAT[] =
    "[SYS]\nVERSION=1.00\nMEDIA=CD\nTARGET=PS2\nDISCVERSION=1.00\nDATE=%4.4s/%2.2s/%2.2s-%2.2s:%2.2s:%2.2s\n[/SYS]\n\n";
constexpr char CUE_FORMAT[] =
    "[CUE]\nDISCNAME=%cKORVALIN_BY_ZOV                 %c\nPRODUCER=%c                                %c\nCOPYRIGHT=%c                                %c\nCREATIONDATE=%8.8s\nPSTYPE=2\nDISCCODE=03\n";
constexpr char TRACK_FORMAT[] =
    "#Track   Index   Time        Form        Control        LBN\n 00      00      00:20:00    CDROM2_0    DATA           \n 01      00      00:00:00    CDROM2_0    DATA           \n 01      01      00:02:00    CDROM2_3    DATA           0\n AA      01      %2.2u:%2.2u:%2.2u    CDROM2_0    DATA           %i\n[/CUE]\n\n";
constexpr char LOC_FORMAT[] =
    "[LOC]\n# the number of entries: %i\n#Start   End      Mode Fno Path\n";
constexpr char ENTRY_FORMAT[] = "%s %s 2.1  0   %c%s%c\n";
constexpr char START_FORMAT[] = "%u         ";
constexpr char END_FORMAT[] = "%u          ";
constexpr size_t COLUMN_WIDTH = 8;

constexpr char CREATE_ERROR[] = "Error Creating:%s!!!! ";
constexpr char WRITE_ERROR[] = "Error Writing:%s!!!! ";
constexpr char VIOLATION_ERROR[] = " ERROR: cannot import, violation in IML format    ";

}  // namespace

std::string ImlHeaderText(const Project& project, const std::string& imageFileName,
                          int32_t imageLastLba) {
    const std::string date = volumeDateString(project.volumeInfo);
    const char* d = date.c_str();
    const LayoutState& layout = project.layoutState;
    // The lead-out's time: the sector count plus 300 frames.
    const uint32_t leadOutFrames = static_cast<uint32_t>(layout.totalSectors + 300);
    std::string text = FormatMessage(SYS_FORMAT, d, d + 4, d + 6, d + 8, d + 10, d + 12);
    text += FormatMessage(CUE_FORMAT, '"', '"', '"', '"', '"', '"', d);
    text += FormatMessage(TRACK_FORMAT, leadOutFrames / 75 / 60, (leadOutFrames / 75) % 60,
                          leadOutFrames % 75, layout.totalSectors + 150);
    text += FormatMessage(LOC_FORMAT, layout.registeredFileCount + 1);
    text += ImlEntryLine(0, static_cast<uint32_t>(imageLastLba), imageFileName);
    return text;
}

std::string ImlEntryLine(uint32_t start, uint32_t end, const std::string& path) {
    const std::string startText = FormatMessage(START_FORMAT, start).substr(0, COLUMN_WIDTH);
    const std::string endText = FormatMessage(END_FORMAT, end).substr(0, COLUMN_WIDTH);
    return FormatMessage(ENTRY_FORMAT, startText.c_str(), endText.c_str(), '"', path.c_str(), '"');
}

bool WriteImlListing(const Project& project, CompileState& state, CrLfTextFile& iml) {
    if (!iml.Create(state.outputSidecarPath)) {
        state.compileMessage = FormatMessage(CREATE_ERROR, state.outputSidecarPath.c_str());
        return false;
    }
    iml.Print(ImlHeaderText(project, FileNamePart(state.imagePath), state.writeLba - 1));
    const int32_t total = project.layoutState.totalSectors;
    const ExtentWriteOrder order = ExtentsInWriteOrder(project);
    for (;;) {
        const int32_t pos = NextExtentPosition(project, order, state.writeLba);
        if (state.writeLba >= total || pos < 0) return true;
        const Extent& extent = project.extentTable[static_cast<size_t>(pos)];
        if (IsDirId(extent.entryId)) {
            state.compileMessage = VIOLATION_ERROR;
            return false;
        }
        // The gap before the file is neither written nor listed.
        while (state.writeLba < extent.firstLba) ReportProgress(state, state.writeLba++);
        if (state.writeLba >= total) return true;
        const FileEntry& file = EntryById(project, extent.entryId);
        iml.Print(ImlEntryLine(static_cast<uint32_t>(extent.firstLba),
                               static_cast<uint32_t>(extent.lastLba), file.sourcePath.value_or("")));
        state.writeLba = extent.lastLba + 1;
        ReportProgress(state, state.writeLba);
        if (state.writeLba >= total) return true;
    }
}

void FinishImlListing(CompileState& state, CrLfTextFile& iml) {
    iml.Print(IML_END_TEXT);
    state.compileMessage = iml.Close() ? COMPILE_SUCCESS_MESSAGE
                                       : FormatMessage(WRITE_ERROR, state.outputSidecarPath.c_str());
}

}  // namespace korvalin
