// SPDX-License-Identifier: GPL-3.0-or-later
// Times the raw (.bin) and .iso compiles against `cat` of the same source
// files into one file, interleaved run by run so that a busy moment of the
// machine falls on all three alike, and prints the median of the per-run
// ratios:
//   - for one file of about 1 GB and for 4,096 small files,
//   - with the output left in the page cache, and flushed to the disk
//     (the time includes fdatasync; the compiles run as `compile --sync`),
//   - on one processor and on two (the affinity of this process, which the
//     compile's worker count follows).
// Each run is a child process, so its processor time (user + system) is
// measured too; that ratio is what a busy machine disturbs least. Before the
// next run the output is synced and its pages dropped.
//
//   compile_bench [FOLDER] [RUNS] [BIG_MB]   (defaults: the temp folder, 5, 1000)

#include <fcntl.h>
#include <sched.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "image/compile_image.h"
#include "layout/recompute_layout.h"
#include "model/project.h"

namespace fs = std::filesystem;
using namespace korvalin;

namespace {

constexpr int SMALL_FILES = 4096;
constexpr int SMALL_DIRS = 16;

// Writes `bytes` bytes that differ from file to file.
void WriteSource(const fs::path& path, size_t bytes, uint32_t seed) {
    std::vector<uint32_t> block(1 << 18);
    uint32_t x = seed * 2654435761u + 1;
    std::ofstream out(path, std::ios::binary);
    for (size_t done = 0; done < bytes;) {
        for (uint32_t& w : block) {
            x ^= x << 13;
            x ^= x >> 17;
            x ^= x << 5;
            w = x;
        }
        const size_t n = std::min(block.size() * 4, bytes - done);
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

struct Disc {
    const char* name;
    Project project;
    std::vector<std::string> sources;
    double megabytes = 0;
};

void AddSource(Disc& disc, const fs::path& path, size_t bytes, uint32_t parentIndex, const std::string& name) {
    if (!fs::exists(path) || fs::file_size(path) != bytes) WriteSource(path, bytes, static_cast<uint32_t>(disc.sources.size()));
    EntryRecord file = MakeEntry(name, parentIndex, false);
    file.size = static_cast<uint32_t>(bytes);
    file.sourcePath = path.string();
    disc.project.fileTable.push_back(file);
    disc.sources.push_back(path.string());
    disc.megabytes += static_cast<double>(bytes) / 1e6;
}

Disc NewDisc(const char* name) {
    Disc disc{name, Project{}, {}, 0};
    StartNewProject(disc.project, CalendarTime{2024, 6, 5, 10, 20, 30});
    return disc;
}

Disc BigFileDisc(const fs::path& folder, size_t megabytes) {
    Disc disc = NewDisc("1 file");
    AddSource(disc, folder / "big.str", megabytes * 1000000 - 1, 0, "MOVIE.STR");
    RecomputeLayout(disc.project);
    return disc;
}

// Built piece by piece: GCC 12 warns falsely about "literal" + std::string.
std::string Numbered(const char* prefix, int n, const char* suffix) {
    std::string text = prefix;
    text += std::to_string(n);
    text += suffix;
    return text;
}

// 4,096 files of 2 to 126 KB (64 KB on average) in 16 folders.
Disc SmallFilesDisc(const fs::path& folder) {
    Disc disc = NewDisc("4096 files");
    for (int d = 0; d < SMALL_DIRS; ++d) disc.project.dirTable.push_back(MakeEntry(Numbered("D", d, ""), 0, true));
    std::mt19937 random(1);
    for (int f = 0; f < SMALL_FILES; ++f) {
        const int d = f % SMALL_DIRS;
        const size_t bytes = 2048 + random() % (124 * 1024);
        AddSource(disc, folder / Numbered("s", f, ""), bytes, static_cast<uint32_t>(d + 1), Numbered("F", f, ".DAT"));
    }
    RecomputeLayout(disc.project);
    return disc;
}

struct Sample {
    double wall = 0;  // seconds until the output was complete (and on disk, when flushed)
    double cpu = 0;   // user + system seconds of the child
};

double Seconds(const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; }

// Syncs the output, drops its pages, and removes it.
void Discard(const fs::path& output) {
    const int fd = ::open(output.c_str(), O_RDONLY);
    if (fd >= 0) {
        ::fdatasync(fd);
        ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
        ::close(fd);
    }
    fs::remove(output);
}

// Runs `child` in a child process; with `flushed` the time runs on until
// the output is on the disk.
template <typename Child>
Sample Time(const fs::path& output, bool flushed, Child child) {
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) _exit(child());
    int status = 0;
    rusage usage{};
    ::wait4(pid, &status, 0, &usage);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "a run failed (%s)\n", output.c_str());
        std::exit(1);
    }
    if (flushed) {
        const int fd = ::open(output.c_str(), O_RDONLY);
        ::fdatasync(fd);
        ::close(fd);
    }
    Sample s;
    s.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    s.cpu = Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
    Discard(output);
    return s;
}

Sample TimeCat(const Disc& disc, const fs::path& output, bool flushed) {
    return Time(output, flushed, [&] {
        const int fd = ::open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(fd, 1);
        std::vector<char*> argv{const_cast<char*>("cat")};
        for (const std::string& s : disc.sources) argv.push_back(const_cast<char*>(s.c_str()));
        argv.push_back(nullptr);
        ::execvp("cat", argv.data());
        return 127;
    });
}

// Flushed, the compile runs as `compile --sync` does: it sends the image to
// the disk as it is written and finishes when it is there.
Sample TimeCompile(Disc& disc, const fs::path& output, bool flushed) {
    return Time(output, flushed, [&] {
        CompileState state;
        state.imagePath = output.string();
        state.syncToDisk = flushed;
        CompileImage(disc.project, state);
        if (state.compileMessage == COMPILE_SUCCESS_MESSAGE) return 0;
        std::fprintf(stderr, "compile failed: %s\n", state.compileMessage.c_str());
        return 1;
    });
}

// Peak memory of a raw compile, in a child of its own.
long PeakKilobytes(Disc& disc, const fs::path& output) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        CompileState state;
        state.imagePath = output.string();
        CompileImage(disc.project, state);
        _exit(0);
    }
    int status = 0;
    rusage usage{};
    ::wait4(pid, &status, 0, &usage);
    Discard(output);
    return usage.ru_maxrss;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// The first `count` processors of those this process was started on.
bool UseProcessors(const cpu_set_t& all, int count) {
    if (CPU_COUNT(&all) < count) return false;
    cpu_set_t chosen;
    CPU_ZERO(&chosen);
    for (int cpu = 0, taken = 0; cpu < CPU_SETSIZE && taken < count; ++cpu) {
        if (CPU_ISSET(cpu, &all)) {
            CPU_SET(cpu, &chosen);
            ++taken;
        }
    }
    return ::sched_setaffinity(0, sizeof chosen, &chosen) == 0;
}

struct Ratios {
    std::vector<double> raw, iso, rawCpu, isoCpu, catWall;
};

void Measure(Disc& disc, const fs::path& folder, bool flushed, int runs, int cores) {
    Ratios r;
    for (int run = 0; run < runs; ++run) {
        // Rotate the order so that none of the three always goes first.
        Sample cat, raw, iso;
        for (int step = 0; step < 3; ++step) {
            switch ((run + step) % 3) {
                case 0: cat = TimeCat(disc, folder / "cat.out", flushed); break;
                case 1: raw = TimeCompile(disc, folder / "image.bin", flushed); break;
                default: iso = TimeCompile(disc, folder / "image.iso", flushed); break;
            }
        }
        r.raw.push_back(raw.wall / cat.wall);
        r.iso.push_back(iso.wall / cat.wall);
        r.rawCpu.push_back(raw.cpu / std::max(cat.cpu, 1e-3));
        r.isoCpu.push_back(iso.cpu / std::max(cat.cpu, 1e-3));
        r.catWall.push_back(cat.wall);
    }
    std::printf("%-10s %d core%s %-11s cat %6.3f s (%5.0f MB/s) | raw/cat %5.2f  iso/cat %5.2f | cpu: raw/cat %5.2f  iso/cat %5.2f\n",
                disc.name, cores, cores > 1 ? "s" : " ", flushed ? "to disk" : "page cache",
                Median(r.catWall), disc.megabytes / Median(r.catWall), Median(r.raw), Median(r.iso),
                Median(r.rawCpu), Median(r.isoCpu));
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    const fs::path base = argc > 1 ? fs::path(argv[1]) : fs::temp_directory_path();
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    const size_t bigMegabytes = argc > 3 ? std::stoul(argv[3]) : 1000;
    const fs::path folder = base / "korvalin-compile-bench";
    fs::create_directories(folder);
    std::vector<Disc> discs;
    discs.push_back(BigFileDisc(folder, bigMegabytes));
    discs.push_back(SmallFilesDisc(folder));
    for (Disc& disc : discs) {
        std::printf("%s: %.1f MB of data, %d sectors; peak memory of a raw compile %ld KB\n", disc.name,
                    disc.megabytes, disc.project.layoutState.totalSectors, PeakKilobytes(disc, folder / "m.bin"));
        TimeCat(disc, folder / "cat.out", false);  // the sources into the page cache
    }
    cpu_set_t all;
    CPU_ZERO(&all);
    ::sched_getaffinity(0, sizeof all, &all);
    for (int cores : {1, 2}) {
        if (!UseProcessors(all, cores)) {
            std::printf("(fewer than %d processors: skipped)\n", cores);
            continue;
        }
        for (Disc& disc : discs) {
            for (bool flushed : {false, true}) Measure(disc, folder, flushed, runs, cores);
        }
    }
    std::printf("sources kept in %s for the next run\n", folder.c_str());
    return 0;
}
