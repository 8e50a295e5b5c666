// SPDX-License-Identifier: GPL-3.0-or-later
#include "import/dump_plan.h"

#include <algorithm>
#include <cstring>
#include <map>

#include "image/directory_extent.h"
#include "image/sector_encoder.h"
#include "image/sector_header.h"
#include "image/system_area_sectors.h"
#include "import/aliased_entries.h"
#include "import/dump_audio_tracks.h"
#include "import/dump_file_order.h"
#include "import/dump_xa_files.h"
#include "import/dump_metadata.h"
#include "import/overlapping_files.h"
#include "layout/recompute_layout.h"
#include "model/message_format.h"

namespace korvalin {

namespace {

constexpr size_t NAMES_PER_LINE = 8;
constexpr size_t MAX_NAME = NAME_FIELD_SIZE - 1;

// Things the project cannot hold, each kind with the names it concerns.
class Findings {
public:
    void Add(const std::string& kind, const std::string& name) {
        auto [it, added] = byKind_.try_emplace(kind);
        if (added) order_.push_back(kind);
        it->second.push_back(name);
    }
    std::vector<std::string> Lines() const {
        std::vector<std::string> lines;
        for (const std::string& kind : order_) {
            const std::vector<std::string>& names = byKind_.at(kind);
            std::string line = kind + ": ";
            for (size_t i = 0; i < names.size() && i < NAMES_PER_LINE; ++i) line += (i ? ", " : "") + names[i];
            if (names.size() > NAMES_PER_LINE) {
                line += FormatMessage(" and %zu more", names.size() - NAMES_PER_LINE);
            }
            lines.push_back(line);
        }
        return lines;
    }

private:
    std::vector<std::string> order_;
    std::map<std::string, std::vector<std::string>> byKind_;
};

std::string TrimRight(std::string text) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '\0')) text.pop_back();
    return text;
}

std::string RelativeOf(const std::string& discPath) {
    std::string relative = discPath.substr(1);
    std::replace(relative.begin(), relative.end(), '\\', '/');
    return relative;
}

void NoteRecordDetails(const DirectoryRecord& r, const std::string& path, Findings& findings) {
    // Dates, flags and CD-XA fields are kept exactly (dump_metadata.h).
    if (r.flags & RECORD_FLAG_MULTI_EXTENT) findings.Add("multi-extent records", path);
    if (r.extendedAttributeLength || r.fileUnitSize || r.interleaveGap) {
        findings.Add("extended attributes or interleaving in the record", path);
    }
    if (!r.hasXa) findings.Add("no CD-XA field (a rebuilt disc has one)", path);
}

}  // namespace

bool RecordDateToDos(const RecordDate& date, uint16_t& dosDate, uint16_t& dosTime) {
    // The writer adds the display hour and carries into the day only; day
    // 31 becomes 32, which its 5-bit field records as 0.
    return RecordTimeToDos({date.year, date.month, date.day, date.hour, date.minute, date.second}, dosDate, dosTime);
}

namespace {

struct Builder {
    DumpPlan& plan;
    const std::string& filesFolder;
    Findings findings;
    std::vector<int32_t> projectDir;  // tree directory index -> DirTable index, -1 when not held
    std::vector<CueAudioTrack> audio;  // the audio tracks the dump writes, whose records become DA files
};

void SetEntryName(Builder& b, EntryRecord& entry, const std::string& name, const std::string& path) {
    if (name.size() > MAX_NAME) b.findings.Add("names longer than 12 characters (cut to 12)", path);
    entry.SetName(name.substr(0, MAX_NAME));
}

void SetEntryDate(Builder& b, EntryRecord& entry, const RecordDate& date, const std::string& path) {
    if (!RecordDateToDos(date, entry.dosDate, entry.dosTime)) {
        b.findings.Add("dates outside 1980-2107 (held at the nearest end)", path);
    }
}

void AddDirectories(Builder& b) {
    Project& p = b.plan.project;
    const std::vector<IsoDirectory>& dirs = b.plan.tree.dirs;
    b.projectDir.assign(dirs.size(), -1);
    b.plan.dirRelativePaths.assign(dirs.size(), "");
    b.projectDir[0] = 0;
    DirEntry& root = p.dirTable[0];
    root.lba = static_cast<int32_t>(dirs[0].record.extent);
    root.flags = FLAG_LBA_SET;
    for (size_t i = 1; i < dirs.size(); ++i) {
        const IsoDirectory& d = dirs[i];
        b.plan.dirRelativePaths[i] = RelativeOf(d.path);
        NoteRecordDetails(d.record, d.path, b.findings);
        const int32_t parent = b.projectDir[static_cast<size_t>(d.parentIndex)];
        if (parent < 0 || p.dirCount() >= DIR_TABLE_SLOTS) {
            b.findings.Add("directories past the project's 1024 (extracted, not in the project)", d.path);
            continue;
        }
        DirEntry dir;
        SetEntryName(b, dir, NameWithoutVersion(d.record.identifier), d.path);
        SetEntryDate(b, dir, d.record.date, d.path);
        dir.lba = static_cast<int32_t>(d.record.extent);
        dir.flags = FLAG_LBA_SET;
        dir.parent = static_cast<uint32_t>(parent) + 1;
        dir.size = d.record.size;
        dir.recordLength = DirRecordLength(dir.nameLength);
        b.projectDir[i] = p.dirCount();
        p.dirTable.push_back(dir);
    }
}

void AddFile(Builder& b, DumpedFile& file, int32_t parent) {
    Project& p = b.plan.project;
    const DirectoryRecord& r = file.record;
    NoteRecordDetails(r, file.discPath, b.findings);
    const std::string identifier = r.identifier;
    const size_t semicolon = identifier.find(';');
    if (semicolon != std::string::npos && identifier.substr(semicolon) != ";1") {
        b.findings.Add("versions other than ;1", file.discPath);
    }
    std::string name = NameWithoutVersion(identifier);
    if (!name.empty() && name.back() == '.') {
        b.findings.Add("names ending in a dot (a rebuilt disc drops it)", file.discPath);
        name.pop_back();
    }
    const bool form2Dummy = file.form2 && !file.rawXa;  // a raw XA file compiles back to its own sectors
    if (form2Dummy && b.plan.image.format.subheaderOffset >= 0) {
        b.findings.Add("Form 2 (XA) files, extracted as 2336-byte sectors, kept as dummies", file.discPath);
    } else if (form2Dummy) {
        b.findings.Add("Form 2 (XA) files in an image without subheaders (2048 bytes per sector extracted), "
                       "kept as dummies",
                       file.discPath);
    }
    const auto startsTrack = [&r](const CueAudioTrack& track) { return track.discLba == r.extent; };
    if (r.IsAudio() && std::none_of(b.audio.begin(), b.audio.end(), startsTrack)) {
        b.findings.Add("CD-DA files, kept as dummies", file.discPath);
    }
    if (parent < 0 || p.fileCount() >= FILE_TABLE_SLOTS) {
        b.findings.Add("files past the project's 4096 or in a directory it cannot hold (extracted only)", file.discPath);
        return;
    }
    FileEntry entry;
    SetEntryName(b, entry, name, file.discPath);
    SetEntryDate(b, entry, r.date, file.discPath);
    entry.lba = static_cast<int32_t>(r.extent);
    entry.flags = FLAG_LBA_SET;
    entry.parent = static_cast<uint32_t>(parent) + 1;
    entry.size = r.size;
    entry.recordLength = FileRecordLength(entry.nameLength);
    entry.sourcePath = b.filesFolder + "/" + file.relativePath;
    file.fileIndex = p.fileCount();
    p.fileTable.push_back(std::move(entry));
}

void AddFiles(Builder& b) {
    const std::vector<IsoDirectory>& dirs = b.plan.tree.dirs;
    for (size_t i = 0; i < dirs.size(); ++i) {
        for (const DirectoryRecord& r : dirs[i].files) {
            DumpedFile file;
            file.record = r;
            file.discPath = (dirs[i].path == "\\" ? "" : dirs[i].path) + "\\" + NameWithoutVersion(r.identifier);
            file.relativePath = RelativeOf(file.discPath);
            file.rawXa = ExtentHoldsForm2(b.plan.image, r);
            file.form2 = r.IsForm2() || file.rawXa;
            b.plan.bytes += r.size;
            AddFile(b, file, b.projectDir[i]);
            b.plan.files.push_back(std::move(file));
        }
    }
}

// Entries whose data another entry holds, Form 2 and audio files, and
// reservations past the end of the image keep their place as dummies.
void MarkDummies(Builder& b) {
    Project& p = b.plan.project;
    std::vector<ListedRange> ranges;
    for (const FileEntry& f : p.fileTable) ranges.push_back({f.lba, f.size});
    const std::vector<bool> aliased = AliasedEntries(ranges);
    const int64_t sectors = b.plan.image.format.sectorCount;
    for (const DumpedFile& file : b.plan.files) {
        if (file.fileIndex < 0) continue;
        FileEntry& f = p.fileTable[static_cast<size_t>(file.fileIndex)];
        const int64_t end = int64_t{f.lba} + SectorsOf(f.size);
        const bool pastEnd = f.size > 0 && end > sectors && f.daTrack == 0;
        if (pastEnd) b.findings.Add("files past the end of the image, kept as dummies", file.discPath);
        if (aliased[static_cast<size_t>(file.fileIndex)]) ++b.plan.aliases;
        const bool rawXa = file.rawXa && !file.record.IsAudio();
        if (!aliased[static_cast<size_t>(file.fileIndex)] && (!file.form2 || rawXa) && !file.record.IsAudio() &&
            !pastEnd && f.daTrack == 0) {
            if (rawXa) {
                f.rawXa = true;
                f.size = DumpedRawXaSize(file.record);
            }
            continue;
        }
        f.flags = FLAG_DUMMY | FLAG_LBA_SET | FLAG_SIZE_SET;
        f.sourcePath.reset();
    }
}

void KeepOverlappingFilesAsDummies(Builder& b) {
    FileTable& files = b.plan.project.fileTable;
    const std::vector<int32_t> chosen = FilesToKeepAsDummies(files);
    if (chosen.empty()) return;
    for (const DumpedFile& file : b.plan.files) {
        if (file.fileIndex < 0 || std::find(chosen.begin(), chosen.end(), file.fileIndex) == chosen.end()) continue;
        b.findings.Add("files overlapping others, kept as dummies (only the sectors they share are written)",
                       file.discPath);
        FileEntry& f = files[static_cast<size_t>(file.fileIndex)];
        f.flags = FLAG_DUMMY | FLAG_LBA_SET | FLAG_SIZE_SET;
        f.sourcePath.reset();
    }
}

void OrderPinnedEmptyFiles(Builder& b) {
    const std::vector<int32_t> newIndex = OrderEmptyFilesAfterWhatTheyTouch(b.plan.project.fileTable);
    for (DumpedFile& file : b.plan.files) {
        if (file.fileIndex >= 0) file.fileIndex = newIndex[static_cast<size_t>(file.fileIndex)];
    }
}

void SetVolume(Builder& b) {
    Project& p = b.plan.project;
    const PrimaryVolume& v = b.plan.tree.volume;
    b.plan.label = TrimRight(v.volumeIdentifier);
    p.volumeInfo.SetLabel(b.plan.label);
    const VolumeDate& d = v.creation;
    if (d.digits) {
        p.volumeInfo.year = d.year;
        p.volumeInfo.month = d.month;
        p.volumeInfo.day = d.day;
        p.volumeInfo.hour = d.hour;
        p.volumeInfo.minute = d.minute;
        p.volumeInfo.second = d.second;
    } else {
        b.findings.Add("volume creation date that is not 16 digits", "volume");
    }
    // The descriptor's texts and dates are kept exactly (dump_metadata.h).
    if (!v.isXa) b.findings.Add("volume not marked CD-XA (a rebuilt disc is)", "volume");
    FinishLoadedProject(p);
    CalendarTime rootTime = SubtractDisplayHour(VolumeDateOf(p.volumeInfo));
    p.dirTable[0].dosDate = PackDosDate(rootTime);
    p.dirTable[0].dosTime = PackDosTime(rootTime);
}

// The sixteen sectors before the descriptors, as raw Mode 2 sectors.
void ReadSystemAreaSectors(DumpPlan& plan) {
    std::vector<uint8_t>& area = plan.project.systemArea;
    area.assign(SYSTEM_AREA_SIZE, 0);
    ImageReader reader(*plan.image.source, plan.image.format);
    const ImageFormat& format = plan.image.format;
    if (format.sectorBytes == RAW_SECTOR_BYTES) {
        plan.image.source->Read(format.startOffset, area.data(), area.size());
        return;
    }
    SectorHeaderTemplate header;
    std::vector<uint8_t> xa;
    for (int32_t lba = 0; lba < SYSTEM_AREA_SECTORS; ++lba) {
        uint8_t* sector = area.data() + static_cast<size_t>(lba) * RAW_SECTOR_BYTES;
        StampSectorHeader(sector, header);
        if (reader.ReadXaSectors(lba, 1, xa)) {
            std::memcpy(sector + 16, xa.data(), XA_SECTOR_BYTES);
        } else if (reader.ReadUserData(lba, sector + USER_DATA_OFFSET)) {
            SectorEncoder().EncodeSector(sector);
        }
    }
}

// A license or logo in the system area is what the disc boots with.
bool SystemAreaHoldsData(const std::vector<uint8_t>& area) {
    for (size_t at = 0; at < area.size(); at += RAW_SECTOR_BYTES) {
        const uint8_t* sector = area.data() + at;
        if (!HasSyncPattern(sector)) continue;
        const uint8_t* data = sector + USER_DATA_OFFSET;
        if (std::any_of(data, data + USER_DATA_BYTES, [](uint8_t b) { return b != 0; })) return true;
    }
    return false;
}

// The sixteen sectors before the descriptors, as raw Mode 2 sectors; their
// data is kept by the compile when there is any.
void ReadSystemArea(DumpPlan& plan) {
    ReadSystemAreaSectors(plan);
    plan.project.settings.keepSystemArea = SystemAreaHoldsData(plan.project.systemArea);
}

// A file the layout would move off its place (it overlaps another file
// without lying inside it) keeps its place as a dummy: its directory record
// stays as on the disc, and the sectors it shares are written by the other.
void KeepCollidingFilesAsDummies(Builder& b) {
    Project& p = b.plan.project;
    for (size_t round = 0; round <= b.plan.files.size(); ++round) {
        RecomputeLayout(p);
        if (p.layoutState.lbaDisplaced == 0) return;
        bool changed = false;
        for (const DumpedFile& file : b.plan.files) {
            if (file.fileIndex < 0) continue;
            FileEntry& f = p.fileTable[static_cast<size_t>(file.fileIndex)];
            if (f.flags != FLAG_DISPLACED) continue;
            changed = true;
            b.findings.Add("files overlapping others, kept as dummies (only the sectors they share are written)",
                           file.discPath);
            f.lba = static_cast<int32_t>(file.record.extent);
            f.flags = FLAG_DUMMY | FLAG_LBA_SET | FLAG_SIZE_SET;
            f.sourcePath.reset();
        }
        if (!changed) return;  // only directories moved; the comparison names them
    }
}

// Lays the project out as a compile would and names what would not land
// where the disc has it.
void CompareLayout(Builder& b) {
    Project& p = b.plan.project;
    const std::vector<IsoDirectory>& dirs = b.plan.tree.dirs;
    // A rebuilt disc has its root right after the four path tables; when
    // the disc's is elsewhere the directories cannot keep their places.
    ComputePathTableSize(p);
    const int32_t firstData = 18 + 4 * p.layoutState.pathTableSectors;
    if (static_cast<int64_t>(dirs[0].record.extent) != firstData) {
        b.findings.Add(FormatMessage("directories placed anew (the root is at LBA %u; a rebuilt disc puts it at %d)",
                                     dirs[0].record.extent, firstData),
                       "every directory");
        for (DirEntry& d : p.dirTable) d.flags = 0;
    }
    KeepCollidingFilesAsDummies(b);
    const LayoutState& layout = p.layoutState;
    if (static_cast<uint32_t>(layout.pathTableBytes) != b.plan.tree.volume.pathTableBytes) {
        b.findings.Add("path table packed differently", FormatMessage("%u bytes recorded, %d rebuilt",
                                                                      b.plan.tree.volume.pathTableBytes,
                                                                      layout.pathTableBytes));
    }
    for (size_t i = 0; i < dirs.size(); ++i) {
        if (b.projectDir[i] < 0) continue;
        const DirEntry& d = p.dirTable[static_cast<size_t>(b.projectDir[i])];
        if (d.flags & FLAG_DISPLACED) b.findings.Add("entries that collide with others (displaced)", dirs[i].path);
        else if (d.lba != static_cast<int32_t>(dirs[i].record.extent)) continue;
        else if (d.size != dirs[i].record.size) b.findings.Add("directories recorded larger or smaller than packed", dirs[i].path);
    }
    for (const DumpedFile& file : b.plan.files) {
        if (file.fileIndex >= 0 && (p.fileTable[static_cast<size_t>(file.fileIndex)].flags & FLAG_DISPLACED)) {
            b.findings.Add("entries that collide with others (displaced)", file.discPath);
        }
    }
    if (static_cast<uint32_t>(layout.totalSectors) != b.plan.tree.volume.volumeSpaceSize) {
        b.findings.Add("volume size", FormatMessage("%u sectors recorded, %d rebuilt", b.plan.tree.volume.volumeSpaceSize,
                                                    layout.totalSectors));
    }
}

}  // namespace

bool PlanDump(const std::string& imagePath, const std::string& filesFolder, DumpPlan& plan, std::string& message) {
    if (!OpenDiscImage(imagePath, plan.image, message)) return false;
    ImageReader reader(*plan.image.source, plan.image.format);
    std::string problem;
    if (!ReadIsoTree(reader, plan.image.fileSystemOnly, plan.tree, problem)) {
        message = FormatMessage("%s: %s", imagePath.c_str(), problem.c_str());
        return false;
    }
    if (plan.image.fileSystemOnly) {
        message = FormatMessage("%s: an IML variant's image holds no file data; dump the whole image", imagePath.c_str());
        return false;
    }
    StartNewProject(plan.project, CalendarTime{2001, 1, 1, 0, 0, 0});
    Builder b{plan, filesFolder, {}, {}, {}};
    SetVolume(b);
    AddDirectories(b);
    b.audio = DumpedAudioTracks(imagePath);
    AddFiles(b);
    MarkDaFiles(plan.project, b.audio);
    MarkDummies(b);
    KeepOverlappingFilesAsDummies(b);
    OrderPinnedEmptyFiles(b);
    KeepDiscMetadata(plan, b.projectDir);
    ReadSystemArea(plan);
    CompareLayout(b);
    std::vector<std::string> dumped;
    for (const CueAudioTrack& track : b.audio) dumped.push_back(CueTrackName(track));
    for (const std::string& track : plan.image.otherTracks) {
        if (std::find(dumped.begin(), dumped.end(), track) == dumped.end()) b.findings.Add("tracks not read", track);
    }
    plan.unrepresented = b.findings.Lines();
    return true;
}

}  // namespace korvalin
