// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/image_verifier.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "disc/read_ahead.h"
#include "image/directory_tree_check.h"
#include "image/path_table_check.h"
#include "image/raw_sector_check.h"
#include "image/sector_header.h"
#include "image/system_area_note.h"
#include "image/volume_descriptor_check.h"
#include "model/message_format.h"

namespace korvalin {

namespace {

constexpr int64_t READ_BLOCK_SECTORS = 1024;  // about 2.4 MB per read
constexpr char THROUGH_CUE_SHEET[] = "checked through the cue sheet beside it, %s, which places audio tracks after the data track";

void CheckAllRawSectors(ImageSource& source, const ImageFormat& format, const VerifyProgress& progress,
                        RawSectorTally& tally, ProblemList& problems, int64_t& checked) {
    const int64_t total = format.sectorCount;
    if (progress) progress(0, total);
    ReadAhead blocks(source, format.startOffset, static_cast<uint64_t>(total) * RAW_SECTOR_BYTES,
                     static_cast<size_t>(READ_BLOCK_SECTORS) * RAW_SECTOR_BYTES);
    size_t bytes = 0;
    for (int64_t first = 0; first < total; first += READ_BLOCK_SECTORS) {
        const uint8_t* block = blocks.Next(bytes);
        if (block == nullptr) {
            problems.Add(first, "the file could not be read from here on");
            return;
        }
        const auto count = static_cast<int64_t>(bytes / RAW_SECTOR_BYTES);
        for (int64_t i = 0; i < count; ++i) CheckRawSector(block + i * RAW_SECTOR_BYTES, first + i, tally, problems);
        checked += count;
        if (progress) progress(first + count, total);
    }
}

void AddTallyNotes(const RawSectorTally& tally, std::vector<std::string>& notes) {
    if (tally.form2WithoutEdc > 0) {
        notes.push_back(FormatMessage("%lld Form 2 sectors carry no EDC (the field is zero, which CD-XA allows)",
                                      static_cast<long long>(tally.form2WithoutEdc)));
    }
    if (tally.mode1Sectors > 0) {
        notes.push_back(FormatMessage("%lld Mode 1 sectors (a PlayStation disc is Mode 2); their EDC was checked, "
                                      "their P/Q parity was not",
                                      static_cast<long long>(tally.mode1Sectors)));
    }
}

void AppendProblems(const ProblemList& list, const char* kind, VerifyReport& report) {
    report.problems.insert(report.problems.end(), list.Listed().begin(), list.Listed().end());
    if (list.Unlisted() > 0) {
        report.problems.push_back({WHOLE_IMAGE, FormatMessage("%lld more %s problems not listed",
                                                              static_cast<long long>(list.Unlisted()), kind)});
    }
    report.problemCount += list.Count();
}

void CheckFileSystem(ImageSource& source, const VerifyOptions& options, VerifyReport& report,
                     ProblemList& problems) {
    ImageReader reader(source, report.format);
    const VolumeFacts volume = CheckVolumeDescriptors(reader, options.fileSystemOnly, problems, report.notes);
    if (!volume.usable) return;
    const PathTable pathTable = CheckPathTables(reader, volume, problems, report.notes);
    const DirectoryTreeCounts counts =
        CheckDirectoryTree(reader, volume, pathTable, options.fileSystemOnly, problems, options.discSectors);
    report.directories = counts.directories;
    report.files = counts.files;
    if (options.fileSystemOnly) {
        report.notes.push_back("file-system-only image (IML variant): file extents were not checked");
    }
}

// The checks of an image whose format is known (detected, or given by a cue sheet).
VerifyReport VerifyWithFormat(ImageSource& source, const ImageFormat& format, const VerifyOptions& options,
                              const VerifyProgress& progress) {
    VerifyReport report;
    report.opened = true;
    ProblemList sectorProblems(options.listLimit);
    ProblemList fileSystemProblems(options.listLimit);
    report.format = format;
    if (report.format.trailingBytes > 0) {
        sectorProblems.Add(report.format.sectorCount,
                           FormatMessage("the file ends %lld bytes into this sector of %d bytes: it is cut short",
                                         static_cast<long long>(report.format.trailingBytes),
                                         report.format.sectorBytes));
    }
    if (report.format.sectorBytes == RAW_SECTOR_BYTES) {
        RawSectorTally tally;
        CheckAllRawSectors(source, report.format, progress, tally, sectorProblems, report.sectorsChecked);
        AddTallyNotes(tally, report.notes);
        if (auto note = BlankSystemAreaNote(source, format, tally.blankSystemAreaSectors)) {
            report.notes.push_back(*note);
        }
    }
    CheckFileSystem(source, options, report, fileSystemProblems);
    AppendProblems(sectorProblems, "sector", report);
    AppendProblems(fileSystemProblems, "file-system", report);
    return report;
}

// A track the data-track checks pass over: an audio track with its place.
std::string OtherTrackNote(const std::string& track, const VerifyReport& report) {
    for (const CueAudioTrack& audio : report.audioTracks) {
        if (track == FormatMessage("track %02d (AUDIO)", audio.number)) return CueAudioTrackNote(audio);
    }
    return "not checked: " + track;
}

// The cue sheet beside a raw image (same name, ".cue") that reads its data
// track from it and places audio tracks after it; "" when there is none.
std::string CueSheetPlacingAudioAfter(const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code error;
    for (const char* extension : {".cue", ".CUE"}) {
        const std::string cue = fs::path(path).replace_extension(extension).string();
        if (cue == path || !fs::is_regular_file(cue, error)) continue;
        DiscImage image;
        std::string message;
        if (!OpenDiscImage(cue, image, message) || image.otherTracks.empty()) continue;
        if (fs::equivalent(image.dataFile, path, error)) return cue;
    }
    return "";
}

}  // namespace

VerifyReport VerifyImageSource(ImageSource& source, const VerifyOptions& options, const VerifyProgress& progress) {
    if (source.Size() == 0) {
        VerifyReport report;
        report.opened = true;
        ProblemList sectorProblems(options.listLimit);
        sectorProblems.Add(WHOLE_IMAGE, "the file is empty");
        AppendProblems(sectorProblems, "sector", report);
        return report;
    }
    return VerifyWithFormat(source, DetectImageFormat(source), options, progress);
}

VerifyReport VerifyImage(const std::string& path, const VerifyOptions& options, const VerifyProgress& progress) {
    if (IsCueSheetName(path)) {
        DiscImage image;
        VerifyReport report;
        if (!OpenDiscImage(path, image, report.openError)) return report;
        std::string audioProblem;
        if (!ReadCueAudioTracks(path, report.audioTracks, audioProblem)) report.audioTracks.clear();
        for (const std::string& track : image.otherTracks) report.notes.push_back(OtherTrackNote(track, report));
        VerifyOptions effective = options;
        for (const CueAudioTrack& t : report.audioTracks) {
            effective.discSectors = std::max(effective.discSectors, t.discLba + t.Sectors());
        }
        VerifyReport checked = VerifyWithFormat(*image.source, image.format, effective, progress);
        checked.notes.insert(checked.notes.begin(), report.notes.begin(), report.notes.end());
        checked.audioTracks = std::move(report.audioTracks);
        if (!audioProblem.empty()) {
            checked.problems.insert(checked.problems.begin(), VerifyProblem{WHOLE_IMAGE, audioProblem});
            ++checked.problemCount;
        }
        return checked;
    }
    // Audio sectors after the data track are not Mode 2 data: read through
    // the cue sheet beside it, the image is checked as the disc it is.
    const std::string cue = CueSheetPlacingAudioAfter(path);
    if (!cue.empty()) {
        VerifyReport report = VerifyImage(cue, options, progress);
        report.notes.insert(report.notes.begin(), FormatMessage(THROUGH_CUE_SHEET, cue.c_str()));
        return report;
    }
    FileImageSource source;
    std::string reason;
    if (!source.Open(path, reason)) {
        VerifyReport report;
        report.openError = FormatMessage("cannot read %s: %s", path.c_str(), reason.c_str());
        return report;
    }
    VerifyOptions effective = options;
    effective.fileSystemOnly = options.fileSystemOnly || IsFileSystemOnlyImageName(path);
    return VerifyImageSource(source, effective, progress);
}

}  // namespace korvalin
