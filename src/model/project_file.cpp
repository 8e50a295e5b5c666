// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/project_file.h"

#include <algorithm>
#include <cstring>

#include "model/byte_io.h"
#include "model/message_format.h"
#include "model/project_extension.h"
#include "platform/file_io.h"

namespace korvalin {

namespace {

constexpr size_t MAGIC_BYTES = 15;  // the 14 characters and their NUL
constexpr size_t SYSTEM_AREA_FLAG_OFFSET = 17;
constexpr uint32_t PATH_PRESENT = 1;  // what a new file record shows at offset 44

void WriteRecord(ByteWriter& out, const EntryRecord& e, bool isFile) {
    out.U32(e.nameLength);
    out.Bytes(e.name.data(), e.name.size());
    out.Bytes(e.reserved17.data(), e.reserved17.size());
    out.U16(e.dosDate);
    out.U16(e.dosTime);
    out.I32(e.lba);
    out.U16(e.flags);
    out.U16(e.reserved30);
    out.U32(e.parent);
    out.U32(e.size);
    out.U32(e.recordLength);
    uint32_t pathRef = 0;
    if (isFile && e.sourcePath) pathRef = e.storedPathRef != 0 ? e.storedPathRef : PATH_PRESENT;
    out.U32(pathRef);
}

EntryRecord ReadRecord(ByteReader& in) {
    EntryRecord e;
    e.nameLength = in.U32();
    in.Bytes(e.name.data(), e.name.size());
    in.Bytes(e.reserved17.data(), e.reserved17.size());
    e.dosDate = in.U16();
    e.dosTime = in.U16();
    e.lba = in.I32();
    e.flags = in.U16();
    e.reserved30 = in.U16();
    e.parent = in.U32();
    e.size = in.U32();
    e.recordLength = in.U32();
    e.storedPathRef = in.U32();
    return e;
}

// Directory numbers beyond any table are refused: nothing could ever mend
// them, and arithmetic on them would overflow.
bool ParentFits(const EntryRecord& e, const std::string& where, std::string& problem) {
    if (e.parent <= static_cast<uint32_t>(DIR_TABLE_SLOTS)) return true;
    problem = FormatMessage("%s names parent directory %u (a project holds at most %d)", where.c_str(),
                            e.parent, DIR_TABLE_SLOTS);
    return false;
}

// The volume date as the 16-digit volume date text can hold it: year
// 0-9999, the other fields 0-99. Every date a project can mean is kept as
// it is; absurd ones cannot overflow the calendar arithmetic.
void ClampVolumeDate(VolumeInfo& v) {
    v.year = std::clamp(v.year, 0, 9999);
    for (int32_t* field : {&v.month, &v.day, &v.hour, &v.minute, &v.second}) {
        *field = std::clamp(*field, 0, 99);
    }
}

void Store(Project& project, std::vector<uint8_t>& bytes) {
    const size_t fileStart = bytes.size();
    ByteWriter out(bytes);
    uint8_t header[PROJECT_HEADER_SIZE] = {};
    std::memcpy(header, PROJECT_MAGIC, MAGIC_BYTES);
    header[SYSTEM_AREA_FLAG_OFFSET] = 1;
    out.Bytes(header, 20);
    out.I32(project.dirCount());
    out.I32(project.fileCount());
    out.Bytes(header + 28, PROJECT_HEADER_SIZE - 28);
    out.Bytes(project.systemArea.data(), SYSTEM_AREA_SIZE);
    const VolumeInfo& v = project.volumeInfo;
    out.Bytes(v.label.data(), v.label.size());
    for (int32_t value : {v.day, v.month, v.year, v.hour, v.minute, v.second}) out.I32(value);
    for (const DirEntry& dir : project.dirTable) WriteRecord(out, dir, false);
    for (FileEntry& file : project.fileTable) {
        uint32_t pathBytes = 0;
        if (file.sourcePath) {
            TidySourcePath(*file.sourcePath);
            pathBytes = static_cast<uint32_t>(file.sourcePath->size()) + 1;
        }
        out.U32(ENTRY_RECORD_SIZE + pathBytes);
        WriteRecord(out, file, true);
        if (file.sourcePath) out.Bytes(file.sourcePath->c_str(), pathBytes);
    }
    StoreProjectExtension(project, bytes, fileStart);
}

// Fills `loaded` from the bytes, or says what is wrong with them.
bool Load(const std::vector<uint8_t>& bytes, Project& loaded, std::string& problem) {
    ByteReader in(bytes.data(), bytes.size());
    auto truncated = [&](const std::string& where) {
        problem = FormatMessage("the file ends early, at byte %zu, in %s", bytes.size(),
                                where.c_str());
        return false;
    };
    if (!in.Has(PROJECT_HEADER_SIZE)) {
        if (bytes.size() < MAGIC_BYTES ||
            std::memcmp(bytes.data(), PROJECT_MAGIC, MAGIC_BYTES) != 0) {
            problem = "it is not a Korvalin project file (no \"korvalindataCD\" magic)";
            return false;
        }
        return truncated("the header");
    }
    uint8_t header[PROJECT_HEADER_SIZE];
    in.Bytes(header, sizeof header);
    if (std::memcmp(header, PROJECT_MAGIC, MAGIC_BYTES) != 0) {
        problem = "it is not a Korvalin project file (no \"korvalindataCD\" magic)";
        return false;
    }
    ByteReader counts(header + 20, 8);
    const int32_t dirCount = counts.I32();
    const int32_t fileCount = counts.I32();
    if (dirCount < 1 || dirCount > DIR_TABLE_SLOTS) {
        problem = FormatMessage("its directory count %d is outside 1 to %d", dirCount,
                                DIR_TABLE_SLOTS);
        return false;
    }
    if (fileCount < 0 || fileCount > FILE_TABLE_SLOTS) {
        problem = FormatMessage("its file count %d is outside 0 to %d", fileCount,
                                FILE_TABLE_SLOTS);
        return false;
    }
    if (header[SYSTEM_AREA_FLAG_OFFSET] != 0) {
        if (!in.Has(SYSTEM_AREA_SIZE)) return truncated("the system area");
        in.Bytes(loaded.systemArea.data(), SYSTEM_AREA_SIZE);
    }
    if (!in.Has(VOLUME_LABEL_FIELD + 24)) return truncated("the volume label and date");
    VolumeInfo& v = loaded.volumeInfo;
    in.Bytes(v.label.data(), v.label.size());
    for (int32_t* value : {&v.day, &v.month, &v.year, &v.hour, &v.minute, &v.second}) {
        *value = in.I32();
    }
    ClampVolumeDate(v);
    for (int32_t i = 0; i < dirCount; ++i) {
        if (!in.Has(ENTRY_RECORD_SIZE)) {
            return truncated(FormatMessage("directory record %d of %d", i, dirCount));
        }
        DirEntry dir = ReadRecord(in);
        if (!ParentFits(dir, FormatMessage("directory record %d", i), problem)) return false;
        dir.storedPathRef = 0;
        loaded.dirTable.push_back(dir);
    }
    for (int32_t i = 0; i < fileCount; ++i) {
        const std::string where = FormatMessage("file block %d of %d", i, fileCount);
        if (!in.Has(4 + ENTRY_RECORD_SIZE)) return truncated(where);
        const uint32_t blockLength = in.U32();
        if (blockLength < ENTRY_RECORD_SIZE) {
            problem = FormatMessage("%s has a length of %u, shorter than its 48-byte record",
                                    where.c_str(), blockLength);
            return false;
        }
        const uint32_t pathBytes = blockLength - ENTRY_RECORD_SIZE;
        if (pathBytes > SOURCE_PATH_BUFFER) {
            problem = FormatMessage("%s has a source path of %u bytes (at most %d)",
                                    where.c_str(), pathBytes, SOURCE_PATH_BUFFER);
            return false;
        }
        FileEntry file = ReadRecord(in);
        if (!ParentFits(file, where, problem)) return false;
        if (pathBytes != 0) {
            if (!in.Has(pathBytes)) return truncated(where);
            const char* text = reinterpret_cast<const char*>(in.Here());
            const size_t length = strnlen(text, pathBytes);
            if (length >= SOURCE_PATH_BUFFER) {
                problem = FormatMessage("%s has a source path without its terminating NUL",
                                        where.c_str());
                return false;
            }
            file.sourcePath = std::string(text, length);
            in.Skip(pathBytes);
        }
        loaded.fileTable.push_back(file);
    }
    return LoadProjectExtension(bytes, in.Position(), loaded, problem);
}

}  // namespace

void TidySourcePath(std::string& path) {
    for (size_t i = 0; i < 511 && i < path.size();) {
        if (path[i] == '\\' && i + 1 < path.size() && path[i + 1] == '\\') {
            path.erase(i, 1);
        } else {
            ++i;
        }
    }
}

int SerializeProject(Project& project, ProjectArchive& archive) {
    if (archive.isStoring) {
        Store(project, archive.bytes);
        return 0;
    }
    Project loaded;
    loaded.systemArea = project.systemArea;  // kept when the file carries none
    if (!Load(archive.bytes, loaded, archive.problem)) return 1;
    project.dirTable = std::move(loaded.dirTable);
    project.fileTable = std::move(loaded.fileTable);
    project.volumeInfo = loaded.volumeInfo;
    project.systemArea = std::move(loaded.systemArea);
    project.settings = loaded.settings;
    project.volumeTexts = std::move(loaded.volumeTexts);
    project.keptSectors = std::move(loaded.keptSectors);
    project.fileLeftovers = std::move(loaded.fileLeftovers);
    project.audioTracks = std::move(loaded.audioTracks);
    return 0;
}

bool OpenProjectFile(const std::string& path, Project& project, const CalendarTime& utcNow,
                     std::string& message) {
    ProjectArchive archive;
    archive.isStoring = false;
    std::string reason;
    if (!ReadWholeFile(path, archive.bytes, reason)) {
        message = FormatMessage("Cannot open project file \"%s\": %s", path.c_str(),
                                reason.c_str());
        StartNewProject(project, utcNow);
        return false;
    }
    if (SerializeProject(project, archive) != 0) {
        message = FormatMessage("Cannot open project file \"%s\": %s", path.c_str(),
                                archive.problem.c_str());
        StartNewProject(project, utcNow);
        return false;
    }
    FinishLoadedProject(project);
    AnchorKeptSectorsPath(project.keptSectors, path);
    return true;
}

bool SaveProjectFile(const std::string& path, Project& project, std::string& message) {
    ProjectArchive archive;
    archive.isStoring = true;
    StoreKeptSectorsPathFor(project.keptSectors, path);
    SerializeProject(project, archive);
    std::string reason;
    if (!WriteFileAtomically(path, archive.bytes, reason)) {
        message = FormatMessage("Cannot save project file \"%s\": %s", path.c_str(),
                                reason.c_str());
        return false;
    }
    return true;
}

}  // namespace korvalin
