// SPDX-License-Identifier: GPL-3.0-or-later
#include "import/dump_files.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <numeric>

#include "image/sector_header.h"
#include "layout/recompute_layout.h"
#include "model/message_format.h"

namespace korvalin {

namespace {

namespace fs = std::filesystem;

constexpr int64_t CHUNK_SECTORS = 512;  // 1 MB of user data per read

using FilePtr = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

// The folder or file at `path` may be made only where nothing is, or where
// a folder of ours already is: never through a link someone left there.
bool RefusesLink(const fs::path& path, std::string& message) {
    std::error_code error;
    const fs::file_status status = fs::symlink_status(path, error);
    if (fs::is_symlink(status)) {
        message = FormatMessage("%s is a link; a dump never writes through links", path.c_str());
        return true;
    }
    return false;
}

bool MakeFolder(const fs::path& path, std::string& message) {
    if (RefusesLink(path, message)) return false;
    std::error_code error;
    if (fs::is_directory(fs::symlink_status(path, error))) return true;
    if (!fs::create_directory(path, error)) {
        message = FormatMessage("cannot create the folder %s: %s", path.c_str(),
                                error ? error.message().c_str() : "something else has that name");
        return false;
    }
    return true;
}

void SetDate(const fs::path& path, uint16_t dosDate, uint16_t dosTime) {
    using namespace std::chrono;
    const CalendarTime t = UnpackDos(dosDate, dosTime);
    const sys_days day = sys_days(year(t.year) / month(static_cast<unsigned>(std::max(t.month, 1))) / 1) +
                         days(std::max(t.day, 1) - 1);
    const sys_seconds when = day + hours(t.hour) + minutes(t.minute) + seconds(t.second);
    std::error_code ignored;
    fs::last_write_time(path, file_clock::from_sys(when), ignored);
}

struct Extraction {
    DumpPlan& plan;
    ImageReader reader;
    const ExtractProgress& progress;
    std::string& message;
    std::vector<uint8_t> buffer;
    int64_t done = 0;
};

// Sectors the file covers that the image holds.
int64_t SectorsInImage(const Extraction& x, const DirectoryRecord& r) {
    const int64_t available = std::max<int64_t>(0, x.reader.SectorCount() - r.extent);
    return std::min<int64_t>(SectorsOf(r.size), available);
}

bool WriteData(Extraction& x, const DumpedFile& file, std::FILE* out) {
    const DirectoryRecord& r = file.record;
    const bool xa = file.form2 && x.reader.HasSubheaders();
    const int64_t sectors = SectorsInImage(x, r);
    int64_t remaining = r.size;
    for (int64_t first = 0; first < sectors; first += CHUNK_SECTORS) {
        const int64_t n = std::min(CHUNK_SECTORS, sectors - first);
        const bool read = xa ? x.reader.ReadXaSectors(r.extent + first, n, x.buffer)
                             : x.reader.ReadUserData(r.extent + first, n, x.buffer);
        if (!read) {
            x.message = FormatMessage("%s: cannot read %s at sector %lld", x.plan.image.path.c_str(),
                                      file.discPath.c_str(), static_cast<long long>(r.extent + first));
            return false;
        }
        const size_t bytes = xa ? x.buffer.size() : static_cast<size_t>(std::min<int64_t>(remaining, n * USER_DATA_BYTES));
        if (std::fwrite(x.buffer.data(), 1, bytes, out) != bytes) return false;
        remaining -= n * USER_DATA_BYTES;
        x.done += n * USER_DATA_BYTES;
        if (x.progress) x.progress(std::min<int64_t>(x.done, x.plan.bytes));
    }
    return true;
}

bool ExtractFile(Extraction& x, const DumpedFile& file, const fs::path& target) {
    if (RefusesLink(target, x.message)) return false;
    FilePtr out(std::fopen(target.c_str(), "wb"), &std::fclose);
    if (!out) {
        x.message = FormatMessage("cannot create %s", target.c_str());
        return false;
    }
    if (!WriteData(x, file, out.get()) || std::fclose(out.release()) != 0) {
        if (x.message.empty()) x.message = FormatMessage("cannot write %s (is the disk full?)", target.c_str());
        return false;
    }
    uint16_t dosDate = 0, dosTime = 0;
    RecordDateToDos(file.record.date, dosDate, dosTime);
    SetDate(target, dosDate, dosTime);
    return true;
}

}  // namespace

bool ExtractDumpFiles(DumpPlan& plan, const std::string& filesFolder, const ExtractProgress& progress,
                      std::string& message) {
    const fs::path base(filesFolder);
    if (!MakeFolder(base, message)) return false;
    for (size_t i = 1; i < plan.dirRelativePaths.size(); ++i) {
        if (!MakeFolder(base / plan.dirRelativePaths[i], message)) return false;
    }
    // In the order of the disc, so that the image is read front to back.
    std::vector<size_t> order(plan.files.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return plan.files[a].record.extent < plan.files[b].record.extent; });
    Extraction x{plan, ImageReader(*plan.image.source, plan.image.format), progress, message, {}, 0};
    for (size_t i : order) {
        if (!ExtractFile(x, plan.files[i], base / plan.files[i].relativePath)) return false;
    }
    for (size_t i = plan.dirRelativePaths.size(); i-- > 1;) {
        uint16_t dosDate = 0, dosTime = 0;
        RecordDateToDos(plan.tree.dirs[i].record.date, dosDate, dosTime);
        SetDate(base / plan.dirRelativePaths[i], dosDate, dosTime);
    }
    return true;
}

}  // namespace korvalin
