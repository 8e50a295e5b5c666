#pragma once
// Small builders for projects and temporary folders used across the tests.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "model/project.h"

namespace korvalin::test {

// A new project at a fixed clock: 5 June 2024 10:20:30 UTC.
Project NewProject();

// Appends entries the way the program creates them; return the entry index.
int32_t AddDir(Project& project, const std::string& name, int32_t parentIndex = 0);
int32_t AddFile(Project& project, const std::string& name, uint32_t size,
                int32_t parentIndex = 0, const std::string& source = "/src/file");
int32_t AddDummy(Project& project, const std::string& name, int32_t lba, uint32_t size = 0,
                 int32_t parentIndex = 0);

// A fresh empty folder under the system's temporary folder, removed on destruction.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

std::vector<uint8_t> ReadBytes(const std::filesystem::path& path);
void WriteBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes);
void WriteText(const std::filesystem::path& path, const std::string& text);

}  // namespace korvalin::test
