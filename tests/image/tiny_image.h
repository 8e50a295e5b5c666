// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A small PlayStation-style disc for the verifier tests, compiled by the
// program itself (its writer is checked byte for byte elsewhere): the root
// with DATA\ and README.TXT, DATA\ with FILE00.BIN ... FILE65.BIN in two
// sectors, every file with one sector of data. Also: running the verifier on
// bytes in memory and asking what it reported where.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "image/compile_image.h"
#include "disc/image_source.h"
#include "image/image_verifier.h"
#include "image/sector_encoder.h"
#include "layout/recompute_layout.h"
#include "test_support.h"

namespace korvalin::test {

struct TinyImage {
    int32_t pvd = 16, terminator = 17, lTable = 18, lCopy = 0, mTable = 0, mCopy = 0;
    int32_t root = 0, data = 0, dataSecond = 0, readme = 0, firstDataFile = 0;
    std::vector<uint8_t> plain;  // 2048-byte sectors

    uint8_t* At(int64_t lba, size_t offset) { return plain.data() + lba * 2048 + offset; }

    // Stamped and encoded like the program's raw images; the system area all zero.
    std::vector<uint8_t> Raw() const {
        std::vector<uint8_t> out(plain.size() / 2048 * RAW_SECTOR_BYTES, 0);
        SectorHeaderTemplate header;
        for (size_t lba = 0; lba < plain.size() / 2048; ++lba) {
            uint8_t* sector = out.data() + lba * RAW_SECTOR_BYTES;
            StampSectorHeader(sector, header);
            if (lba < 16) {
                std::memset(sector, 0, RAW_SECTOR_BYTES);
                continue;
            }
            std::memcpy(sector + USER_DATA_OFFSET, &plain[lba * 2048], USER_DATA_BYTES);
            SectorEncoder().EncodeSector(sector);
        }
        return out;
    }
};

// With `manyDirectories` 127 more directories make the path tables two sectors long.
inline TinyImage BuildTinyImage(bool manyDirectories = false) {
    TempDir sources;
    Project project = NewProject();
    const int32_t data = AddDir(project, "DATA");
    for (int i = 0; manyDirectories && i < 127; ++i) AddDir(project, std::to_string(10000000 + i));
    WriteText(sources / "readme", "hello disc\n");
    AddFile(project, "README.TXT", 11, 0, (sources / "readme").string());
    for (int i = 0; i < 66; ++i) {
        const std::string name = "FILE" + std::to_string(100 + i).substr(1) + ".BIN";
        WriteBytes(sources / name, std::vector<uint8_t>(100 + i, static_cast<uint8_t>(i + 1)));
        AddFile(project, name, 100 + i, data, (sources / name).string());
    }
    RecomputeLayout(project);
    CompileState state;
    state.imagePath = (sources / "tiny.iso").string();
    CompileImage(project, state);
    EXPECT_EQ(state.compileMessage, COMPILE_SUCCESS_MESSAGE);
    TinyImage image;
    image.plain = ReadBytes(state.imagePath);
    const int32_t p = project.layoutState.pathTableSectors;
    image.lCopy = 18 + p;
    image.mTable = 18 + 2 * p;
    image.mCopy = 18 + 3 * p;
    image.root = project.dirTable[0].lba;
    image.data = project.dirTable[data].lba;
    image.dataSecond = image.data + 1;
    image.readme = project.fileTable[0].lba;
    image.firstDataFile = project.fileTable[1].lba;
    return image;
}

inline size_t RawOffset(int64_t lba, size_t byte) {
    return static_cast<size_t>(lba) * RAW_SECTOR_BYTES + byte;
}

inline VerifyReport VerifyBytes(const std::vector<uint8_t>& bytes,
                                const VerifyOptions& options = {}) {
    MemoryImageSource source(bytes);
    return VerifyImageSource(source, options);
}

inline std::string ProblemsText(const VerifyReport& report) {
    std::string text;
    for (const VerifyProblem& p : report.problems) {
        text += "LBA " + std::to_string(p.lba) + ": " + p.text + "\n";
    }
    return text;
}

inline bool HasProblem(const VerifyReport& report, int64_t lba, const std::string& part) {
    for (const VerifyProblem& p : report.problems) {
        if (p.lba == lba && p.text.find(part) != std::string::npos) return true;
    }
    return false;
}

// Every listed problem lies at `lba`, and one of them says `part`.
inline ::testing::AssertionResult OnlyAt(const VerifyReport& report, int64_t lba,
                                         const std::string& part) {
    bool elsewhere = false;
    for (const VerifyProblem& p : report.problems) elsewhere = elsewhere || p.lba != lba;
    if (elsewhere || !HasProblem(report, lba, part)) {
        return ::testing::AssertionFailure()
               << "want \"" << part << "\" at LBA " << lba << " alone:\n"
               << ProblemsText(report);
    }
    return ::testing::AssertionSuccess();
}

}  // namespace korvalin::test
