#pragma once
// A listing folder with extracted files, imported with a scripted prompt.

#include <filesystem>
#include <string>
#include <vector>

#include "import/isobuster_import.h"
#include "test_support.h"

namespace korvalin::test {

struct ImportOutcome {
    int code = -1;
    ErrorLog log;
};

// The folder "GAMEDISC" in a temporary folder, holding LIST.TXT and the
// extracted tree.
class ListingFolder {
  public:
    ListingFolder() { std::filesystem::create_directory(folder()); }
    std::filesystem::path folder() const { return temp_ / "GAMEDISC"; }
    std::string listing() const { return (folder() / "LIST.TXT").string(); }

    // `relative` uses '/'; parent folders are made as needed.
    void File(const std::string& relative, size_t size = 1) const {
        WriteBytes(folder() / relative, std::vector<uint8_t>(size, 0x5A));
    }
    void Dir(const std::string& relative) const {
        std::filesystem::create_directories(folder() / relative);
    }
    void Listing(const std::string& text) const { WriteText(listing(), text); }

    ImportOutcome Import(Project& project, int32_t mode = IMPORT_RESPECTIVE_LBA,
                         const CalendarTime& now = CalendarTime{2024, 6, 5, 10, 20, 30}) const {
        ImportOutcome outcome;
        ScriptedPrompt prompt;
        outcome.code = ImportIsoBusterListing(project, listing(), mode, now, outcome.log, prompt);
        return outcome;
    }

  private:
    TempDir temp_;
};

}  // namespace korvalin::test
