// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Small builders for projects and temporary folders used across the tests.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "model/project.h"
#include "model/user_prompt.h"

namespace korvalin::test {

// A new project at a fixed clock: 5 June 2024 10:20:30 UTC.
Project NewProject();

// Appends entries the way the program creates them; return the entry index.
int32_t AddDir(Project& project, const std::string& name, int32_t parentIndex = 0);
int32_t AddFile(Project& project, const std::string& name, uint32_t size, int32_t parentIndex = 0,
                const std::string& source = "/src/file");
int32_t AddDummy(Project& project, const std::string& name, int32_t lba, uint32_t size = 0,
                 int32_t parentIndex = 0);
void Pin(EntryRecord& entry, int32_t lba);

// Every field of a record, for comparing records and tables.
using RecordFields = std::tuple<uint32_t, std::string, uint16_t, uint16_t, int32_t, uint16_t,
                                uint32_t, uint32_t, uint32_t, std::optional<std::string>>;
RecordFields FieldsOf(const EntryRecord& e);
std::vector<RecordFields> FieldsOf(const std::vector<EntryRecord>& table);

// Disc paths of every directory below the root, and of every file, in table order.
std::vector<std::string> DirPaths(const Project& project);
std::vector<std::string> FilePaths(const Project& project);

// Answers from a script and records what was asked.
class ScriptedUserPrompt : public UserPrompt {
  public:
    bool okAnswer = true;
    std::optional<std::string> saveAnswer;
    std::vector<std::string> shown;
    std::vector<std::string> asked;
    std::vector<SaveFileRequest> saveRequests;

    void ShowMessage(const std::string& text) override { shown.push_back(text); }
    bool AskOkCancel(const std::string& text) override {
        asked.push_back(text);
        return okAnswer;
    }
    std::optional<std::string> AskSaveFile(const SaveFileRequest& request) override {
        saveRequests.push_back(request);
        return saveAnswer;
    }
};

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
// Both make the folders the file needs.
void WriteBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes);
void WriteText(const std::filesystem::path& path, const std::string& text);
// "01 43 44" -> {0x01, 0x43, 0x44}
std::vector<uint8_t> Hex(const std::string& text);
// The text inside single quotes, for a shell command line.
std::string ShellQuote(const std::string& text);

}  // namespace korvalin::test
