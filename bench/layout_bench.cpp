// SPDX-License-Identifier: GPL-3.0-or-later
// The layout of the largest project (1,023 directories, 4,096 files, pins
// among both) and of 1,022 folders of 4 files each, as every list refresh
// runs it.

#include <benchmark/benchmark.h>

#include <string>

#include "layout/recompute_layout.h"
#include "model/project.h"

namespace {

using namespace korvalin;

void AddEntry(std::vector<EntryRecord>& table, const std::string& name, uint32_t parent,
              uint32_t size, bool isFile) {
    EntryRecord e;
    e.SetName(name);
    e.parent = parent;
    e.size = size;
    e.recordLength = isFile ? FileRecordLength(e.nameLength) : DirRecordLength(e.nameLength);
    if (isFile) e.sourcePath = "/disc/" + name;
    table.push_back(e);
}

// `folders` directories sharing `files` files, 32 to a parent folder so that
// the tree has depth; every `pinEvery`-th entry pinned (0: none), the pins
// spread over the disc so that the layout must work round them.
Project MakeProject(int folders, int files, int pinEvery) {
    Project project;
    StartNewProject(project, CalendarTime{2024, 3, 12, 9, 30, 0});
    for (int d = 1; d <= folders; ++d) {
        const uint32_t parent = d <= 32 ? 1 : static_cast<uint32_t>((d - 1) / 32) + 1;
        AddEntry(project.dirTable, "D" + std::to_string(d), parent, 2048, false);
        if (pinEvery > 0 && d % pinEvery == 0) {
            project.dirTable.back().flags = FLAG_LBA_SET;
            project.dirTable.back().lba = 2000 + 7 * d;
        }
    }
    for (int f = 0; f < files; ++f) {
        const uint32_t parent = static_cast<uint32_t>(int64_t{f} * folders / files) + 2;
        AddEntry(project.fileTable, "F" + std::to_string(f) + ".BIN", parent,
                 static_cast<uint32_t>(1000 + (f % 13) * 5000), true);
        if (pinEvery > 0 && f % pinEvery == 0) {
            project.fileTable.back().flags = FLAG_LBA_SET;
            project.fileTable.back().lba = 10000 + 37 * f;
        }
    }
    return project;
}

void Layout(benchmark::State& state, int folders, int files, int pinEvery) {
    Project project = MakeProject(folders, files, pinEvery);
    for (auto _ : state) {
        RecomputeLayout(project);
        benchmark::DoNotOptimize(project.layoutState.totalSectors);
    }
    state.counters["sectors"] = project.layoutState.totalSectors;
}

void BM_LargestProjectWithPins(benchmark::State& state) { Layout(state, 1023, 4096, 16); }
void BM_FoldersOfFourFiles(benchmark::State& state) { Layout(state, 1022, 4088, 0); }

BENCHMARK(BM_LargestProjectWithPins)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FoldersOfFourFiles)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
