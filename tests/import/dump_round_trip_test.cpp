// SPDX-License-Identifier: GPL-3.0-or-later
// A disc dumped to files and a project compiles again to the same image,
// byte for byte; the listing it writes imports to the same file table.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <tuple>

#include "image/compile_image.h"
#include "image/sample_disc.h"
#include "import/dump_disc.h"
#include "import/isobuster_import.h"
#include "layout/error_log.h"
#include "layout/recompute_layout.h"
#include "model/project_file.h"
#include "test_support.h"

namespace korvalin {
namespace {

namespace fs = std::filesystem;

Project Dump(const fs::path& image, const fs::path& outDir, DumpResult& result) {
    std::string message;
    DumpOptions options{image.string(), outDir.string(), "", false};
    EXPECT_EQ(DumpDiscImage(options, result, message), 0) << message;
    Project project;
    EXPECT_TRUE(OpenProjectFile(result.projectPath, project, CalendarTime{2030, 1, 1, 0, 0, 0}, message)) << message;
    return project;
}

// Pins, dummies, empty files and a gap (the sample disc), a tree eight levels
// deep with a dummy across two files, and the largest file table a project holds.
std::vector<std::pair<std::string, Project>> Discs(const test::TempDir& sources) {
    std::vector<std::pair<std::string, Project>> discs;
    discs.emplace_back("sample", test::MakeSampleDisc(sources, false).project);
    discs.emplace_back("sample, directory among files", test::MakeSampleDisc(sources, true).project);
    Project deep = test::NewProject();
    int32_t parent = 0;
    for (int level = 0; level < 7; ++level) {
        parent = test::AddDir(deep, "LEVEL" + std::to_string(level), parent);
        const fs::path source = sources / ("deep" + std::to_string(level));
        test::WriteBytes(source, std::vector<uint8_t>(3000 * level + 1, static_cast<uint8_t>(level)));
        test::AddFile(deep, "F.BIN", 3000 * level + 1, parent, source.string());
    }
    // A dummy over the end of one file and the start of the next.
    RecomputeLayout(deep);
    deep.fileTable[test::AddDummy(deep, "OVER.BIN", deep.fileTable[3].lba + 4, 6000)].flags |= FLAG_SIZE_SET;
    discs.emplace_back("deep tree", std::move(deep));
    Project large = test::NewProject();
    for (int d = 0; d < 8; ++d) test::AddDir(large, "DIR" + std::to_string(d));
    for (int size = 1; size <= 700; ++size) {
        test::WriteBytes(sources / ("s" + std::to_string(size)), std::vector<uint8_t>(size, static_cast<uint8_t>(size)));
    }
    for (int f = 0; f < FILE_TABLE_SLOTS; ++f) {
        const int size = 1 + f % 700;
        test::AddFile(large, "F" + std::to_string(f) + ".DAT", size, f % 9, (sources / ("s" + std::to_string(size))).string());
    }
    discs.emplace_back("4096 files", std::move(large));
    return discs;
}

TEST(DumpRoundTrip, CompiledDiscsDumpAndCompileToTheSameImage) {
    test::TempDir work;
    for (auto& [name, original] : Discs(work)) {
        for (const char* kind : {"bin", "iso"}) {
            SCOPED_TRACE(name + " ." + kind);
            const fs::path folder = work / (name + kind);
            fs::create_directories(folder);
            const auto first = test::CompileToBytes(original, folder / (std::string("first.") + kind));
            DumpResult result;
            Project dumped = Dump(folder / (std::string(kind) == "bin" ? "first.cue" : "first.iso"), folder / "out", result);
            EXPECT_EQ(result.files, original.fileCount());
            EXPECT_TRUE(test::CompileToBytes(dumped, folder / (std::string("second.") + kind)) == first);
            EXPECT_EQ(result.unrepresented.size(), name == "deep tree" ? 1u : 0u);  // OVER.BIN stays a dummy
            fs::remove_all(folder);
        }
    }
}

// Dumped files carry the bytes a reader must get back; the listing, read
// beside them by the import, gives the same tables but for what a listing
// cannot say: directory pins, which name of shared data is the dummy and
// its size, the label and volume date.
// Path -> LBA, dates and size; the size left out for a name that is a dummy in either project.
using FileFacts = std::map<std::string, std::tuple<int32_t, uint16_t, uint16_t, uint32_t>>;
FileFacts FilesByPath(const Project& project, const Project& other) {
    FileFacts files;
    const std::vector<std::string> paths = test::FilePaths(project), otherPaths = test::FilePaths(other);
    for (int32_t f = 0; f < project.fileCount(); ++f) {
        const FileEntry& e = project.fileTable[f];
        const auto o = std::find(otherPaths.begin(), otherPaths.end(), paths[f]);
        const bool dummy = e.IsDummy() || (o != otherPaths.end() && other.fileTable[o - otherPaths.begin()].IsDummy());
        files[paths[f]] = {e.lba, e.dosDate, e.dosTime, dummy ? 0 : e.size};
    }
    return files;
}

TEST(DumpRoundTrip, ExtractedFilesAndTheListingRebuildTheDumpedTables) {
    test::TempDir work;
    test::SampleDisc disc = test::MakeSampleDisc(work, false);
    for (FileEntry& f : disc.project.fileTable) {
        f.dosDate = PackDosDate({2024, 2, 29, 0, 0, 0});
        f.dosTime = PackDosTime({0, 0, 0, 23, 59, 58});  // shown on the disc as 1 March 00:59:58 (day 30)
    }
    test::CompileToBytes(disc.project, work / "disc.bin");
    DumpResult result;
    const Project dumped = Dump(work / "disc.cue", work / "out", result);
    for (const auto& [isoPath, bytes] : disc.expected) {
        const std::string relative = isoPath.substr(1, isoPath.size() - 3);
        EXPECT_EQ(test::ReadBytes(fs::path(result.filesFolder) / relative), bytes) << isoPath;
    }
    EXPECT_EQ(result.aliases, 2);  // ALIAS.BIN, and EMPTY.TXT at the LBA of the file after it

    fs::copy_file(result.listingPath, fs::path(result.filesFolder) / "LIST.TXT");
    Project imported = test::NewProject();
    ErrorLog log;
    test::ScriptedUserPrompt prompt;
    ASSERT_EQ(ImportIsoBusterListing(imported, result.filesFolder + "/LIST.TXT", IMPORT_RESPECTIVE_LBA,
                                     CalendarTime{2030, 1, 1, 0, 0, 0}, log, prompt),
              0);
    EXPECT_EQ(log.count(), 0) << ErrorLogText(log);
    EXPECT_EQ(test::DirPaths(imported), test::DirPaths(dumped));
    // The import orders files level by level and sizes a dummy from the file it aliases.
    EXPECT_EQ(FilesByPath(imported, dumped), FilesByPath(dumped, imported));
}

}  // namespace
}  // namespace korvalin
