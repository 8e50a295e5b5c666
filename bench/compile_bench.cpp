// Times a raw compile of a large disc against cat copying the same source
// bytes to the same disk, and prints both times and their ratio.
//
//   compile_bench [FOLDER] [MEGABYTES]   (defaults: the temp folder, 512)

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "image/compile_image.h"
#include "layout/recompute_layout.h"
#include "model/project.h"

namespace fs = std::filesystem;
using namespace korvalin;

namespace {

constexpr int DIRS = 8;
constexpr int FILES_PER_DIR = 8;

double Seconds(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

// Writes `bytes` bytes that differ from file to file.
void WriteSource(const fs::path& path, size_t bytes, uint32_t seed) {
    std::vector<uint8_t> block(1 << 20);
    uint32_t x = seed * 2654435761u + 1;
    std::ofstream out(path, std::ios::binary);
    for (size_t done = 0; done < bytes;) {
        for (uint8_t& b : block) {
            x ^= x << 13;
            x ^= x >> 17;
            x ^= x << 5;
            b = static_cast<uint8_t>(x);
        }
        const size_t n = std::min(block.size(), bytes - done);
        out.write(reinterpret_cast<const char*>(block.data()), static_cast<std::streamsize>(n));
        done += n;
    }
}

EntryRecord MakeEntry(const std::string& name, uint32_t parentIndex, bool isDir) {
    EntryRecord e;
    e.SetName(name);
    e.parent = parentIndex + 1;
    e.recordLength = isDir ? DirRecordLength(e.nameLength) : FileRecordLength(e.nameLength);
    return e;
}

// A project of DIRS folders holding FILES_PER_DIR files each; the source
// paths are collected in `sources`.
Project BuildProject(const fs::path& folder, size_t totalBytes, std::vector<std::string>& sources) {
    Project project;
    StartNewProject(project, CalendarTime{2024, 6, 5, 10, 20, 30});
    const size_t perFile = totalBytes / (DIRS * FILES_PER_DIR) + 777;  // not a sector multiple
    for (int d = 0; d < DIRS; ++d) {
        std::string name = "DIR";
        name += std::to_string(d);
        project.dirTable.push_back(MakeEntry(name, 0, true));
    }
    for (int d = 0; d < DIRS; ++d) {
        for (int f = 0; f < FILES_PER_DIR; ++f) {
            std::string name = "F";
            name += std::to_string(f);
            name += ".BIN";
            std::string sourceName = "d";
            sourceName += std::to_string(d);
            sourceName += '_';
            sourceName += name;
            const fs::path source = folder / sourceName;
            WriteSource(source, perFile, static_cast<uint32_t>(d * 100 + f));
            EntryRecord file = MakeEntry(name, static_cast<uint32_t>(d + 1), false);
            file.size = static_cast<uint32_t>(perFile);
            file.sourcePath = source.string();
            project.fileTable.push_back(file);
            sources.push_back(source.string());
        }
    }
    RecomputeLayout(project);
    return project;
}

// Waits until the file's data are on the disk.
void SyncFile(const fs::path& path) {
    const int fd = ::open(path.c_str(), O_RDONLY);
    if (fd >= 0) {
        ::fdatasync(fd);
        ::close(fd);
    }
}

struct Timing {
    double cached = 0;  // until the last byte was handed to the system
    double synced = 0;  // until the data were on the disk
};

Timing TimeCompile(Project& project, const fs::path& image) {
    fs::remove(image);
    CompileState state;
    state.imagePath = image.string();
    const auto start = std::chrono::steady_clock::now();
    CompileImage(project, state);
    Timing t;
    t.cached = Seconds(std::chrono::steady_clock::now() - start);
    if (state.compileMessage != COMPILE_SUCCESS_MESSAGE) {
        std::fprintf(stderr, "compile failed: %s\n", state.compileMessage.c_str());
        std::exit(1);
    }
    SyncFile(image);
    t.synced = Seconds(std::chrono::steady_clock::now() - start);
    return t;
}

Timing TimeCat(const std::vector<std::string>& sources, const fs::path& target) {
    fs::remove(target);
    std::string command = "cat";
    for (const std::string& s : sources) command += " '" + s + "'";
    command += " > '" + target.string() + "'";
    const auto start = std::chrono::steady_clock::now();
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "cat failed\n");
        std::exit(1);
    }
    Timing t;
    t.cached = Seconds(std::chrono::steady_clock::now() - start);
    SyncFile(target);
    t.synced = Seconds(std::chrono::steady_clock::now() - start);
    return t;
}

void Keep(Timing& best, const Timing& t) {
    best.cached = std::min(best.cached, t.cached);
    best.synced = std::min(best.synced, t.synced);
}

void Report(const char* what, const Timing& t, double megabytes) {
    std::printf("%-12s %.3f s (%5.0f MB/s of data), %.3f s with the data on disk (%5.0f MB/s)\n",
                what, t.cached, megabytes / t.cached, t.synced, megabytes / t.synced);
}

}  // namespace

int main(int argc, char** argv) {
    const fs::path base = argc > 1 ? fs::path(argv[1]) : fs::temp_directory_path();
    const size_t megabytes = argc > 2 ? std::stoul(argv[2]) : 512;
    std::string pattern = (base / "korvalin-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        std::perror("mkdtemp");
        return 1;
    }
    const fs::path folder = pattern;
    std::vector<std::string> sources;
    Project project = BuildProject(folder, megabytes << 20, sources);
    const double sourceMb = static_cast<double>(project.fileTable[0].size) * sources.size() / 1e6;
    std::printf("disc: %zu files, %.1f MB of data, %d sectors (%.1f MB raw)\n", sources.size(),
                sourceMb, project.layoutState.totalSectors,
                project.layoutState.totalSectors * 2352.0 / 1e6);

    // Alternate the runs and keep each one's best, so that none pays alone
    // for a cold cache or a busy moment.
    Timing bestRaw{1e9, 1e9};
    Timing bestIso{1e9, 1e9};
    Timing bestCat{1e9, 1e9};
    for (int run = 0; run < 3; ++run) {
        const Timing cat = TimeCat(sources, folder / "cat.out");
        const Timing raw = TimeCompile(project, folder / "image.bin");
        const Timing iso = TimeCompile(project, folder / "image.iso");
        std::printf("run %d: raw compile %.3f/%.3f s, iso compile %.3f/%.3f s, cat %.3f/%.3f s\n",
                    run + 1, raw.cached, raw.synced, iso.cached, iso.synced, cat.cached, cat.synced);
        Keep(bestRaw, raw);
        Keep(bestIso, iso);
        Keep(bestCat, cat);
    }
    Report("raw compile", bestRaw, sourceMb);
    Report("iso compile", bestIso, sourceMb);
    Report("cat copy", bestCat, sourceMb);
    std::printf("ratio raw compile / cat: %.2f (%.2f with the data on disk)\n",
                bestRaw.cached / bestCat.cached, bestRaw.synced / bestCat.synced);
    fs::remove(folder / "image.iso");
    fs::remove_all(folder);
    return 0;
}
