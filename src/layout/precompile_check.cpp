#include "layout/precompile_check.h"

#include <algorithm>
#include <cstring>

#include "model/message_format.h"

namespace korvalin {

namespace {

constexpr char DIR_HAS_SOURCE[] = "Elemento no nulo en ruta en elemento path %u - %s";
constexpr char DIR_NAME_LENGTH[] = " Filesize error in elemental name in path of %u - %s";
constexpr char DIR_RECORD_LENGTH[] = "Error de tamaño en directorio del elemento path %u - %s long %i";
constexpr char DIR_BAD_PARENT[] = "Crtitical error in parent element of path %u - %s";
constexpr char FILE_NO_SOURCE[] = "ERROR: Null element in element path of %u - %s";
constexpr char FILE_NAME_LENGTH[] = "Filesize error in filename of elemental path %u - %s";
constexpr char FILE_RECORD_LENGTH[] = "Error de tamaño en directorio del elemento file %u - %s";
constexpr char FILE_BAD_PARENT[] = "Critical error in the parent element file %u - %s";
constexpr char EXTENT_PAIR[] = "LBA error in the subtable%u y %u";
constexpr char LATER_DIR[] = "In path %s LBA's %u %u";
constexpr char LATER_FILE[] = "In filename%s LBA's %u %u";
constexpr char EARLIER_DIR[] = "collision with path%s LBA's %u %u";
constexpr char EARLIER_FILE[] = " Collision with file  %s LBA's %u %u";

uint32_t StoredNameLength(const EntryRecord& entry) {
    return static_cast<uint32_t>(strnlen(entry.name.data(), NAME_FIELD_SIZE));
}

bool ParentIsValid(const Project& project, const EntryRecord& entry) {
    return entry.parent - 1 < static_cast<uint32_t>(project.dirCount());
}

std::string Message(const char* format, size_t index, const EntryRecord& entry) {
    return FormatMessage(format, static_cast<unsigned>(index), std::string(entry.Name()).c_str());
}

std::string DirectoryProblem(const Project& project, size_t index) {
    const DirEntry& dir = project.dirTable[index];
    if (dir.sourcePath) return Message(DIR_HAS_SOURCE, index, dir);
    if (StoredNameLength(dir) != dir.nameLength) return Message(DIR_NAME_LENGTH, index, dir);
    if (dir.recordLength != DirRecordLength(dir.nameLength)) {
        return FormatMessage(DIR_RECORD_LENGTH, static_cast<unsigned>(index),
                             std::string(dir.Name()).c_str(), static_cast<int32_t>(dir.nameLength));
    }
    if (!ParentIsValid(project, dir)) return Message(DIR_BAD_PARENT, index, dir);
    return "";
}

std::string FileProblem(const Project& project, size_t index) {
    const FileEntry& file = project.fileTable[index];
    if (!file.sourcePath && !file.IsDummy()) return Message(FILE_NO_SOURCE, index, file);
    if (StoredNameLength(file) != file.nameLength) return Message(FILE_NAME_LENGTH, index, file);
    if (file.recordLength != FileRecordLength(file.nameLength)) {
        return Message(FILE_RECORD_LENGTH, index, file);
    }
    if (!ParentIsValid(project, file)) return Message(FILE_BAD_PARENT, index, file);
    return "";
}

bool Collides(const Extent& range, const Extent& other) {
    const auto within = [&](int32_t lba) { return range.firstLba <= lba && lba <= range.lastLba; };
    return within(other.firstLba) || within(other.lastLba);
}

bool IsOneSector(const Extent& e) { return e.firstLba == e.lastLba; }

std::string ExtentMessage(const Project& project, const Extent& e, const char* dirFormat,
                          const char* fileFormat) {
    const std::string name(EntryById(project, e.entryId).Name());
    return FormatMessage(IsDirId(e.entryId) ? dirFormat : fileFormat, name.c_str(),
                         static_cast<unsigned>(e.firstLba), static_cast<unsigned>(e.lastLba));
}

}  // namespace

std::vector<std::string> CheckDirectoryTable(const Project& project) {
    for (size_t d = 1; d < project.dirTable.size(); ++d) {
        std::string problem = DirectoryProblem(project, d);
        if (!problem.empty()) return {problem};
    }
    return {};
}

std::vector<std::string> CheckFileTable(const Project& project) {
    for (size_t f = 0; f < project.fileTable.size(); ++f) {
        std::string problem = FileProblem(project, f);
        if (!problem.empty()) return {problem};
    }
    return {};
}

std::vector<std::string> CheckExtents(const Project& project) {
    const ExtentTable& table = project.extentTable;
    const size_t end = std::min(table.size(), EXTENT_CHECK_POSITIONS);
    for (size_t i = 0; i < end; ++i) {
        for (size_t j = i + 1; j < end; ++j) {
            const Extent& earlier = table[i];
            const Extent& later = table[j];
            if (IsOneSector(earlier) || IsOneSector(later) || !Collides(earlier, later)) continue;
            return {FormatMessage(EXTENT_PAIR, static_cast<unsigned>(j), static_cast<unsigned>(i)),
                    ExtentMessage(project, later, LATER_DIR, LATER_FILE),
                    ExtentMessage(project, earlier, EARLIER_DIR, EARLIER_FILE)};
        }
    }
    return {};
}

std::vector<std::string> PreCompileCheck(const Project& project) {
    std::vector<std::string> messages = CheckDirectoryTable(project);
    if (messages.empty()) messages = CheckFileTable(project);
    for (std::string& m : CheckExtents(project)) messages.push_back(std::move(m));
    return messages;
}

}  // namespace korvalin
