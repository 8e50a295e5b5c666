// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The whole state of the one open project: the two entry tables, the volume
// label and date, the system area, the selection and the last layout.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "layout/extent_table.h"
#include "layout/layout_state.h"
#include "model/audio_track.h"
#include "model/calendar_time.h"
#include "model/entry_record.h"
#include "model/volume_texts.h"
#include "model/kept_sectors.h"

namespace korvalin {

constexpr int32_t DIR_TABLE_SLOTS = 1024;
constexpr int32_t FILE_TABLE_SLOTS = 4096;
constexpr int32_t FILE_ID_BASE = 4096;  // entry id of FileTable slot 0
constexpr int32_t SYSTEM_AREA_SECTORS = 16;
constexpr int32_t RAW_SECTOR_SIZE = 2352;
constexpr int32_t SYSTEM_AREA_SIZE = SYSTEM_AREA_SECTORS * RAW_SECTOR_SIZE;  // 37632
constexpr int32_t VOLUME_LABEL_FIELD = 33;

// Tables are dense and in creation order; their order is the order of
// layout and of writing. Slot 0 of the DirTable is the root.
using DirTable = std::vector<DirEntry>;
using FileTable = std::vector<FileEntry>;

struct VolumeInfo {
    std::array<char, VOLUME_LABEL_FIELD> label{};  // NUL-terminated; the rest kept as loaded
    // As shown to the user (UTC plus one hour).
    int32_t day = 1;
    int32_t month = 1;
    int32_t year = 2001;
    int32_t hour = 0;
    int32_t minute = 0;
    int32_t second = 0;

    std::string_view Label() const;
    void SetLabel(std::string_view text);  // at most 32 characters, rest of the field zeroed
};

// Choices that go beyond the tree, each off in a new project. They live in
// the project file's extension block.
struct ProjectSettings {
    // The compile writes the system area's sectors with their data (license
    // text and logo) instead of clearing their user data.
    bool keepSystemArea = false;
    // A system-area sector that would come out without sync in a raw image
    // is written as an addressed, empty Mode 2 sector instead.
    bool stampSystemArea = false;

    bool operator==(const ProjectSettings&) const = default;
};

// A record of the extension block that this version does not know: kept and
// written back as it was read, so that nothing a newer version stored is lost.
struct ExtensionRecord {
    uint16_t tag = 0;
    uint16_t flags = 0;
    std::vector<uint8_t> payload;

    bool operator==(const ExtensionRecord&) const = default;
};

// What a loaded project file held that carries no meaning here, written back
// on save so that a file is reproduced byte for byte.
struct ProjectFileLeftovers {
    std::array<uint8_t, 96> header{};  // the reserved header bytes as loaded
    std::vector<ExtensionRecord> unknownRecords;
};

struct Project {
    DirTable dirTable;
    FileTable fileTable;
    VolumeInfo volumeInfo;
    CalendarTime volumeUtcTime;
    std::vector<uint8_t> systemArea = std::vector<uint8_t>(SYSTEM_AREA_SIZE, 0);
    int32_t currentDir = 0;
    int32_t editedEntryId = 0;
    LayoutState layoutState;
    ExtentTable extentTable;
    ProjectSettings settings;
    VolumeTexts volumeTexts;  // a dumped disc's descriptor texts and dates
    KeptSectorsRef keptSectors;  // the dumped disc's sectors the tree cannot describe
    ProjectFileLeftovers fileLeftovers;
    std::vector<AudioTrack> audioTracks;  // CD-DA tracks 2, 3, ... after the data track

    Project();  // an empty model: label "KORVALIN", no entries
    int32_t dirCount() const { return static_cast<int32_t>(dirTable.size()); }
    int32_t fileCount() const { return static_cast<int32_t>(fileTable.size()); }
};

// Entry ids: a directory's DirTable index, or 4096 + a FileTable index.
inline bool IsDirId(int32_t id) { return id < DIR_TABLE_SLOTS; }
inline int32_t FileId(int32_t fileIndex) { return FILE_ID_BASE + fileIndex; }
bool IsValidEntryId(const Project& project, int32_t id);
EntryRecord& EntryById(Project& project, int32_t id);  // id must be valid
const EntryRecord& EntryById(const Project& project, int32_t id);

// Resets to a new project: only the root, label "NEW", the volume date
// taken from `utcNow` plus one hour, default settings. The system area is
// left as it is.
void StartNewProject(Project& project, const CalendarTime& utcNow);
// After a load: volumeUtcTime follows the loaded volume date, root selected.
void FinishLoadedProject(Project& project);

CalendarTime VolumeDateOf(const VolumeInfo& info);

}  // namespace korvalin
