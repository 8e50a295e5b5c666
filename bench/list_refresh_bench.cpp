// SPDX-License-Identifier: GPL-3.0-or-later
// Refreshing the file list of a directory that holds 4096 files: the layout
// run, the rows and the model reset (RefreshFileList), and once more with the
// visible rows painted. Runs on the offscreen platform unless another is set.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <cstdio>

#include "model/project.h"
#include "ui/korvalin_app.h"
#include "ui/korvalin_view.h"
#include "ui/main_frame.h"

namespace {

using namespace korvalin;

constexpr CalendarTime kNow{2024, 3, 12, 9, 30, 0};

// 4096 files in one folder; every `pinEvery`-th one pinned (0: none).
void FillFolder(Project& project, int pinEvery) {
    EntryRecord folder;
    folder.SetName("DATA");
    folder.recordLength = DirRecordLength(folder.nameLength);
    project.dirTable.push_back(folder);
    for (int i = 0; i < FILE_TABLE_SLOTS; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "F%04d.BIN", i);
        EntryRecord file;
        file.SetName(name);
        file.parent = 2;
        file.recordLength = FileRecordLength(file.nameLength);
        file.size = 100000 + static_cast<uint32_t>(i);
        file.dosDate = PackDosDate(kNow);
        file.dosTime = PackDosTime(kNow);
        file.sourcePath = std::string("/home/ana/disc/DATA/") + name;
        if (pinEvery > 0 && i % pinEvery == 0) {
            file.flags = FLAG_LBA_SET;
            file.lba = 1000 + i * 60;
        }
        project.fileTable.push_back(file);
    }
    project.currentDir = 1;
}

void RefreshBench(benchmark::State& state, int pinEvery, bool paint) {
    QTemporaryDir dir;
    QSettings settings(dir.filePath("settings.ini"), QSettings::IniFormat);
    CKorvalinApp app(settings, [] { return kNow; });
    app.InitInstance();
    FillFolder(app.Document().project(), pinEvery);
    CKorvalinView* list = app.MainFrame()->ListView();
    list->RefreshFileList(true);
    for (auto _ : state) {
        list->RefreshFileList(false);
        if (paint) list->viewport()->repaint();
        benchmark::DoNotOptimize(list->Rows().Rows().size());
    }
    state.counters["rows"] = static_cast<double>(list->Rows().Rows().size());
}

void BM_Refresh4096Files(benchmark::State& state) { RefreshBench(state, 0, false); }
void BM_Refresh4096FilesAndPaint(benchmark::State& state) { RefreshBench(state, 0, true); }
void BM_Refresh4096FilesEveryEighthPinned(benchmark::State& state) { RefreshBench(state, 8, true); }

BENCHMARK(BM_Refresh4096Files)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Refresh4096FilesAndPaint)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Refresh4096FilesEveryEighthPinned)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
