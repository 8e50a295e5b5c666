// SPDX-License-Identifier: GPL-3.0-or-later
// Times `korvalin dump` of a raw image of about 700 MB against cp copying
// the same image, and prints both times and their ratio (the target is 2 or less).
//
//   dump_bench [FOLDER] [MEGABYTES]   (defaults: the temp folder, 620 MB of file data)

#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "image/compile_image.h"
#include "import/dump_disc.h"
#include "layout/recompute_layout.h"

namespace fs = std::filesystem;
using namespace korvalin;

namespace {

constexpr int FILES = 96;

double Seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

// FILES files of random bytes (one random megabyte repeated at shifting offsets).
Project BuildProject(const fs::path& folder, size_t totalBytes) {
    Project project;
    StartNewProject(project, CalendarTime{2024, 6, 5, 10, 20, 30});
    std::vector<char> block(1 << 20);
    std::mt19937 random(5);
    for (char& c : block) c = static_cast<char>(random());
    const size_t perFile = totalBytes / FILES + 1234;
    for (int f = 0; f < FILES; ++f) {
        const fs::path source = folder / ("f" + std::to_string(f));
        std::ofstream out(source, std::ios::binary);
        for (size_t done = 0; done < perFile;) {
            const size_t n = std::min(block.size() - static_cast<size_t>(f), perFile - done);
            out.write(block.data() + f, static_cast<std::streamsize>(n));
            done += n;
        }
        EntryRecord file;
        file.SetName("F" + std::to_string(f) + ".BIN");
        file.recordLength = FileRecordLength(file.nameLength);
        file.size = static_cast<uint32_t>(perFile);
        file.sourcePath = source.string();
        project.fileTable.push_back(file);
    }
    RecomputeLayout(project);
    return project;
}

double TimeCp(const fs::path& image, const fs::path& copy) {
    fs::remove(copy);
    const std::string command = "cp '" + image.string() + "' '" + copy.string() + "'";
    const auto start = std::chrono::steady_clock::now();
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "cp failed\n");
        std::exit(1);
    }
    return Seconds(std::chrono::steady_clock::now() - start);
}

double TimeDump(const fs::path& cue, const fs::path& out) {
    fs::remove_all(out);
    DumpResult result;
    std::string message;
    const auto start = std::chrono::steady_clock::now();
    if (DumpDiscImage({cue.string(), out.string(), "", false}, result, message) != 0) {
        std::fprintf(stderr, "dump failed: %s\n", message.c_str());
        std::exit(1);
    }
    return Seconds(std::chrono::steady_clock::now() - start);
}

}  // namespace

int main(int argc, char** argv) {
    const fs::path base = argc > 1 ? fs::path(argv[1]) : fs::temp_directory_path();
    const size_t megabytes = argc > 2 ? std::stoul(argv[2]) : 620;
    std::string pattern = (base / "korvalin-dump-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        std::perror("mkdtemp");
        return 1;
    }
    const fs::path folder = pattern;
    {
        Project project = BuildProject(folder, megabytes << 20);
        CompileState state;
        state.imagePath = (folder / "disc.bin").string();
        CompileImage(project, state);
        if (state.compileMessage != COMPILE_SUCCESS_MESSAGE) {
            std::fprintf(stderr, "compile failed: %s\n", state.compileMessage.c_str());
            return 1;
        }
        for (int f = 0; f < FILES; ++f) fs::remove(folder / ("f" + std::to_string(f)));
    }
    const double imageMb = static_cast<double>(fs::file_size(folder / "disc.bin")) / 1e6;
    std::printf("image: %.1f MB raw, %d files\n", imageMb, FILES);
    double cp = 1e9, dump = 1e9;
    for (int run = 0; run < 3; ++run) {  // alternated, best of three each
        cp = std::min(cp, TimeCp(folder / "disc.bin", folder / "copy.bin"));
        fs::remove(folder / "copy.bin");
        dump = std::min(dump, TimeDump(folder / "disc.cue", folder / "out"));
    }
    std::printf("cp    %.3f s (%5.0f MB/s)\n", cp, imageMb / cp);
    std::printf("dump  %.3f s (%5.0f MB/s)\n", dump, imageMb / dump);
    std::printf("dump / cp = %.2f\n", dump / cp);
    fs::remove_all(folder);
    return 0;
}
