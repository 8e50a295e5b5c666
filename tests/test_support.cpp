// SPDX-License-Identifier: GPL-3.0-or-later
#include "test_support.h"

#include <stdlib.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

#include "model/disc_path.h"

namespace korvalin::test {

Project NewProject() {
    Project project;
    StartNewProject(project, CalendarTime{2024, 6, 5, 10, 20, 30});
    return project;
}

int32_t AddDir(Project& project, const std::string& name, int32_t parentIndex) {
    DirEntry dir;
    dir.SetName(name);
    dir.parent = static_cast<uint32_t>(parentIndex) + 1;
    dir.recordLength = DirRecordLength(dir.nameLength);
    project.dirTable.push_back(dir);
    return project.dirCount() - 1;
}

int32_t AddFile(Project& project, const std::string& name, uint32_t size, int32_t parentIndex,
                const std::string& source) {
    FileEntry file;
    file.SetName(name);
    file.parent = static_cast<uint32_t>(parentIndex) + 1;
    file.recordLength = FileRecordLength(file.nameLength);
    file.size = size;
    file.sourcePath = source;
    project.fileTable.push_back(file);
    return project.fileCount() - 1;
}

int32_t AddDummy(Project& project, const std::string& name, int32_t lba, uint32_t size,
                 int32_t parentIndex) {
    const int32_t index = AddFile(project, name, size, parentIndex);
    FileEntry& file = project.fileTable[index];
    file.sourcePath.reset();
    file.flags = FLAG_DUMMY | FLAG_LBA_SET;
    file.lba = lba;
    return index;
}

void Pin(EntryRecord& entry, int32_t lba) {
    entry.flags |= FLAG_LBA_SET;
    entry.lba = lba;
}

RecordFields FieldsOf(const EntryRecord& e) {
    return {e.nameLength, std::string(e.Name()), e.dosDate,   e.dosTime, e.lba, e.flags, e.parent,
            e.size,       e.recordLength,        e.sourcePath};
}

std::vector<RecordFields> FieldsOf(const std::vector<EntryRecord>& table) {
    std::vector<RecordFields> out;
    for (const EntryRecord& e : table) out.push_back(FieldsOf(e));
    return out;
}

std::vector<std::string> DirPaths(const Project& project) {
    std::vector<std::string> paths;
    for (int32_t d = 1; d < project.dirCount(); ++d) paths.push_back(DiscPathOfEntry(project, d));
    return paths;
}

std::vector<std::string> FilePaths(const Project& project) {
    std::vector<std::string> paths;
    for (int32_t f = 0; f < project.fileCount(); ++f) {
        paths.push_back(DiscPathOfEntry(project, FileId(f)));
    }
    return paths;
}

TempDir::TempDir() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "korvalin-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::vector<uint8_t> ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

void WriteText(const std::filesystem::path& path, const std::string& text) {
    WriteBytes(path, std::vector<uint8_t>(text.begin(), text.end()));
}

std::vector<uint8_t> Hex(const std::string& text) {
    std::istringstream in(text);
    std::vector<uint8_t> out;
    for (unsigned v; in >> std::hex >> v;) out.push_back(static_cast<uint8_t>(v));
    return out;
}

std::string ShellQuote(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

}  // namespace korvalin::test
