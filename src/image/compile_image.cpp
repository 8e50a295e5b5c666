// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/compile_image.h"

#include <cstring>

#include "image/audio_track_writer.h"
#include "image/compile_outputs.h"
#include "image/cue_sheet.h"
#include "image/directory_extent.h"
#include "image/file_data.h"
#include "image/iml_file.h"
#include "image/kept_sector_writer.h"
#include "image/image_naming.h"
#include "image/next_extent.h"
#include "image/path_table.h"
#include "image/sector_output.h"
#include "image/system_area_sectors.h"
#include "image/volume_descriptor.h"
#include "model/disc_path.h"
#include "model/message_format.h"
#include "model/xa_file.h"
#include "platform/file_io.h"

namespace korvalin {

namespace {

constexpr char CANNOT_CREATE[] = "no es posible crear: %s ";
constexpr char WRITE_ERROR[] = "error when writing!!";
constexpr char FILLER_WRITE_ERROR[] = "filewrite error in the dummy!";
constexpr char CANNOT_OPEN_SOURCE[] = "Cannot open file  %s ";
constexpr char SOURCE_TOO_SHORT[] = "Read error,incorrect filesize specified in: %s";
constexpr char LBA_ERROR_BEFORE[] = " Lba error when writting to %s ";
constexpr char LBA_ERROR_AFTER[] = "  LBA error when writting to file  %s ";
constexpr char XA_NEEDS_RAW_IMAGE[] =
    "%s: the project has raw XA files, whose Form 2 sectors only a raw image (.bin) can hold";

void SelectVariant(CompileState& state) {
    const ImageVariant variant = ChooseImageVariant(state.imagePath);
    state.imagePath = variant.imagePath;
    state.outputSidecarPath = variant.outputSidecarPath;
    state.rawSectors = variant.rawSectors;
    state.imlMode = variant.imlMode;
    state.sectorSize = ISO_SECTOR_BYTES + 304 * state.rawSectors;
}

// Sectors 0-15 from the project's system area as its settings say (see
// system_area_sectors.h); the header address counts on once per sector.
// The project's own copy is left as it is.
bool WriteSystemArea(const Project& project, CompileState& state, SectorBuffer& sector) {
    for (int32_t i = 0; i < SYSTEM_AREA_SECTORS; ++i) {
        PrepareSystemAreaSector(project, i, state.rawSectors == 1, sector.data());
        if (state.rawSectors == 1) {
            SectorHeaderBytes& header = state.sectorHeader.bytes;
            AdvanceBcdAddress(header[12], header[13], header[14]);
        }
        if (!state.image.AppendSector(sector.data())) return false;
        ++state.writeLba;
    }
    sector.fill(0);
    return true;
}

// One 2048-byte structure put into the data area of a cleared sector.
bool WriteDescriptorSector(CompileState& state, SectorBuffer& sector, const uint8_t* data) {
    std::memcpy(sector.data() + UserDataOffset(state), data, USER_DATA_BYTES);
    return EmitSector(state, sector);
}

bool WriteFileSystemStart(Project& project, CompileState& state, SectorBuffer& sector,
                          const uint8_t* descriptor) {
    uint8_t terminator[USER_DATA_BYTES] = {};
    BuildVolumeDescriptorTerminator(terminator);
    if (!WriteSystemArea(project, state, sector) ||
        !WriteDescriptorSector(state, sector, descriptor) ||
        !WriteDescriptorSector(state, sector, terminator)) {
        return false;
    }
    for (ByteOrder order : {ByteOrder::Little, ByteOrder::Little, ByteOrder::Big, ByteOrder::Big}) {
        if (WritePathTable(project, state, sector, order) != 0) return false;
    }
    return WriteDirectoryExtent(project, state, sector, 1) == 0;
}

// What the LBA errors name: a file's source, a directory's disc path.
std::string ExtentOwnerText(const Project& project, int32_t entryId) {
    if (IsDirId(entryId)) return DiscPathOfEntry(project, entryId);
    return EntryById(project, entryId).sourcePath.value_or("");
}

// Appends one extent at writeLba; false once the image has failed.
bool WriteExtent(const Project& project, CompileState& state, SectorBuffer& sector,
                 const Extent& extent) {
    if (!IsDirId(extent.entryId)) return WriteFileData(project, state, extent.entryId - FILE_ID_BASE);
    const uint32_t dirNumber = static_cast<uint32_t>(extent.entryId) + 1;
    return WriteDirectoryExtent(project, state, sector, dirNumber) == 0;
}

// The text of the image's first failure, as the writer of the failed sector
// would have said it.
std::string FailureMessage(const Project& project, const OutputError& error) {
    if (error.failure == OutputFailure::ShortWrite) {
        return error.owner == OWNER_FILLER ? FILLER_WRITE_ERROR : WRITE_ERROR;
    }
    const std::string source = ExtentOwnerText(project, FileId(error.owner));
    return FormatMessage(error.failure == OutputFailure::CannotOpenSource ? CANNOT_OPEN_SOURCE : SOURCE_TOO_SHORT,
                         source.c_str());
}

// Every directory and file extent in ascending firstLba with filler in the
// gaps. The IML variant stops at the first file. False with compileMessage
// set on error.
bool WriteExtents(const Project& project, CompileState& state, SectorBuffer& sector) {
    const int32_t total = project.layoutState.totalSectors;
    const ExtentWriteOrder order = ExtentsInWriteOrder(project);
    for (;;) {
        const int32_t pos = NextExtentPosition(project, order, state.writeLba);
        if (state.writeLba >= total || pos < 0) return true;
        const Extent& extent = project.extentTable[static_cast<size_t>(pos)];
        if (state.imlMode && !IsDirId(extent.entryId)) return true;
        if (!WriteFillerSectors(state, extent.firstLba)) return false;
        if (state.writeLba >= total) return true;
        if (state.writeLba != extent.firstLba) {
            state.compileMessage =
                FormatMessage(LBA_ERROR_BEFORE, ExtentOwnerText(project, extent.entryId).c_str());
            return false;
        }
        if (!WriteExtent(project, state, sector, extent)) return false;
        if (state.writeLba >= total) return true;
        if (extent.lastLba + 1 != state.writeLba) {
            state.compileMessage =
                FormatMessage(LBA_ERROR_AFTER, ExtentOwnerText(project, extent.entryId).c_str());
            return false;
        }
    }
}

// Appends the image in LBA order: false with compileMessage set when the
// layout and the writers disagree, or false alone once the image has failed.
// The image holds every sector the volume counts: after the last extent the
// window of a trailing empty file, if any, is a filler sector.
bool AppendImage(Project& project, CompileState& state, const uint8_t* descriptor) {
    SectorBuffer sector{};
    if (!WriteFileSystemStart(project, state, sector, descriptor) ||
        !WriteExtents(project, state, sector)) {
        return false;
    }
    return state.imlMode || WriteFillerSectors(state, project.layoutState.totalSectors);
}

// Writes the image and its companion; the result is in state.compileMessage.
void WriteOutputs(Project& project, CompileState& state) {
    state.compileMessage = AudioTracksVariantProblem(project, state.imagePath);
    if (!state.compileMessage.empty()) return;
    SelectVariant(state);
    state.sectorHeader = SectorHeaderTemplate{};
    uint8_t descriptor[USER_DATA_BYTES] = {};
    BuildPrimaryVolumeDescriptor(project, descriptor);
    if (state.rawSectors != 1 && ProjectHasRawXaFiles(project)) {
        state.compileMessage = FormatMessage(XA_NEEDS_RAW_IMAGE, state.imagePath.c_str());
        return;
    }

    if (!LoadKeptSectorsForCompile(project, state)) return;
    const OutputOptions options{state.rawSectors == 1, state.workerThreads, state.progressCallback,
                                state.keptSectors.get(), state.sectorSink, state.syncToDisk};
    if (!state.image.Create(state.imagePath, options)) {
        state.compileMessage = FormatMessage(CANNOT_CREATE, state.imagePath.c_str());
        return;
    }
    state.writeLba = 0;
    state.compileMessage.clear();
    bool ok = AppendImage(project, state, descriptor) && AppendTrailingKeptSectors(state);
    // Everything appended reaches the image before anything else is said: a
    // failure met there came first.
    const OutputError error = state.image.Finish();
    if (error.failure != OutputFailure::None) {
        state.compileMessage = FailureMessage(project, error);
        ok = false;
    } else if (!ok && state.compileMessage.empty()) {
        state.compileMessage = WRITE_ERROR;
    }
    CrLfTextFile iml;
    const bool files = state.sectorSink == nullptr;
    if (ok && state.imlMode && files) ok = WriteImlListing(project, state, iml);
    const bool closed = state.image.Close();
    if (!ok) return;
    if (!closed) {
        state.compileMessage = WRITE_ERROR;
        return;
    }
    if (!files) {
        state.compileMessage = COMPILE_SUCCESS_MESSAGE;
    } else if (state.imlMode) {
        FinishImlListing(state, iml);
    } else if (state.rawSectors == 1) {
        if (!project.audioTracks.empty() && !AppendAudioTracks(project, state)) return;
        WriteCueSheet(project, state);
    } else {
        state.compileMessage = COMPILE_SUCCESS_MESSAGE;
    }
}

// The outputs of the image name the user chose on the disk, and their names in their folder.
bool SyncOutputs(const std::string& chosenPath) {
    bool synced = true;
    for (const std::string& output : CompileOutputPaths(chosenPath)) synced = SyncFileToDisk(output) && synced;
    return SyncFolderToDisk(chosenPath) && synced;
}

}  // namespace

void CompileImage(Project& project, CompileState& state) {
    const std::string chosenPath = state.imagePath;  // the IML variant changes it
    WriteOutputs(project, state);
    const bool written = state.compileMessage == COMPILE_SUCCESS_MESSAGE && state.sectorSink == nullptr;
    if (written && state.syncToDisk && !SyncOutputs(chosenPath)) state.compileMessage = WRITE_ERROR;
}

}  // namespace korvalin
