// SPDX-License-Identifier: GPL-3.0-or-later
// Importing a 4096-entry IsoBuster listing with its extracted files, and
// adding a 4000-file folder tree from disk.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "import/isobuster_import.h"
#include "layout/recompute_layout.h"
#include "model/add_from_disk.h"

namespace {

namespace fs = std::filesystem;
using namespace korvalin;

constexpr int LISTING_DIRS = 64;
constexpr int FILES_PER_LISTING_DIR = 63;  // 64 + 64 * 63 = 4096 entries
constexpr int TREE_DIRS = 40;
constexpr int FILES_PER_TREE_DIR = 100;    // 4000 files

class SilentPrompt : public UserPrompt {
public:
    void ShowMessage(const std::string&) override {}
    bool AskOkCancel(const std::string&) override { return true; }
    std::optional<std::string> AskSaveFile(const SaveFileRequest&) override { return std::nullopt; }
};

void WriteFile(const fs::path& path, size_t size) {
    std::ofstream(path, std::ios::binary) << std::string(size, 'x');
}

// Extracted files under `root`; names on disk lower-cased when asked, as
// some extraction tools leave them.
std::string MakeDisc(const fs::path& root, bool lowerCaseOnDisk) {
    fs::create_directories(root);
    std::string listing;
    int lba = 24 + LISTING_DIRS;
    for (int d = 0; d < LISTING_DIRS; ++d) {
        const std::string dir = "DIR" + std::to_string(d);
        const std::string diskDir = lowerCaseOnDisk ? "dir" + std::to_string(d) : dir;
        fs::create_directory(root / diskDir);
        listing += std::to_string(23 + d) + " , \\" + dir + "\n";
        for (int f = 0; f < FILES_PER_LISTING_DIR; ++f) {
            // Appended piecewise: GCC 12 at -O3 warns falsely on "literal" + string here.
            std::string file = "F";
            file += std::to_string(f);
            std::string diskFile = lowerCaseOnDisk ? "f" : "F";
            diskFile += std::to_string(f);
            file += ".BIN";
            diskFile += lowerCaseOnDisk ? ".bin" : ".BIN";
            WriteFile(root / diskDir / diskFile, 3000);
            listing += std::to_string(lba) + " , \\" + dir + "\\" + file + "\n";
            lba += 2;
        }
    }
    std::ofstream(root / "LIST.TXT") << listing;
    return (root / "LIST.TXT").string();
}

std::string MakeTree(const fs::path& root) {
    for (int d = 0; d < TREE_DIRS; ++d) {
        const fs::path dir = root / ("dir" + std::to_string(d));
        fs::create_directories(dir);
        for (int f = 0; f < FILES_PER_TREE_DIR; ++f) {
            WriteFile(dir / ("file" + std::to_string(f) + ".dat"), 100);
        }
    }
    return root.string();
}

struct BenchData {
    fs::path temp;
    std::string listing;
    std::string lowerCaseListing;
    std::string tree;

    BenchData() {
        std::string pattern = (fs::temp_directory_path() / "korvalin-bench-XXXXXX").string();
        temp = ::mkdtemp(pattern.data());
        listing = MakeDisc(temp / "DISC", false);
        lowerCaseListing = MakeDisc(temp / "LOWER", true);
        tree = MakeTree(temp / "TREE");
    }
    ~BenchData() {
        std::error_code ignored;
        fs::remove_all(temp, ignored);
    }
};

const BenchData& Data() {
    static BenchData data;
    return data;
}

void ImportListing(benchmark::State& state, const std::string& listing, int32_t mode) {
    for (auto _ : state) {
        Project project;
        StartNewProject(project, CalendarTime{2024, 6, 5, 10, 20, 30});
        ErrorLog log;
        SilentPrompt prompt;
        const int result = ImportIsoBusterListing(project, listing, mode,
                                                  CalendarTime{2024, 6, 5, 10, 20, 30}, log, prompt);
        RecomputeLayout(project);
        if (result != IMPORT_FINISHED || project.fileCount() != LISTING_DIRS * FILES_PER_LISTING_DIR ||
            log.count() != 0) {
            state.SkipWithError("the import did not bring in the whole listing");
        }
        benchmark::DoNotOptimize(project.layoutState.totalSectors);
    }
}

void BM_Import4096Entries(benchmark::State& state) {
    ImportListing(state, Data().listing, static_cast<int32_t>(state.range(0)));
}
BENCHMARK(BM_Import4096Entries)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

void BM_Import4096EntriesLowerCaseOnDisk(benchmark::State& state) {
    ImportListing(state, Data().lowerCaseListing, IMPORT_RESPECTIVE_LBA);
}
BENCHMARK(BM_Import4096EntriesLowerCaseOnDisk)->Unit(benchmark::kMillisecond);

void BM_AddFromDisk4000Files(benchmark::State& state) {
    for (auto _ : state) {
        Project project;
        StartNewProject(project, CalendarTime{2024, 6, 5, 10, 20, 30});
        ErrorLog log;
        const int result = AddFromDisk(project, {Data().tree}, log);
        RecomputeLayout(project);
        if (result != ADD_FINISHED || project.fileCount() != TREE_DIRS * FILES_PER_TREE_DIR) {
            state.SkipWithError("the tree was not added whole");
        }
        benchmark::DoNotOptimize(project.layoutState.totalSectors);
    }
}
BENCHMARK(BM_AddFromDisk4000Files)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
