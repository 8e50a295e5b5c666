// SPDX-License-Identifier: GPL-3.0-or-later
// The file-system structures byte for byte, against values worked out by
// hand for a small tree: root, DATA, and the file A.B in the root.

#include <gtest/gtest.h>

#include <cstring>
#include <tuple>

#include "image/directory_extent.h"
#include "image/path_table.h"
#include "image/volume_date.h"
#include "image/volume_descriptor.h"
#include "layout/recompute_layout.h"
#include "test_support.h"

namespace korvalin {
namespace {

using Bytes = std::vector<uint8_t>;

void Patch(Bytes& bytes, size_t offset, const Bytes& with) {
    std::copy(with.begin(), with.end(), bytes.begin() + static_cast<std::ptrdiff_t>(offset));
}

void PatchText(Bytes& bytes, size_t offset, const std::string& text) {
    Patch(bytes, offset, Bytes(text.begin(), text.end()));
}

// 5 June 2024, 10:20:30 UTC; shown (and recorded) one hour later.
constexpr uint16_t JUNE_5_2024 = (44 << 9) | (6 << 5) | 5;
constexpr uint16_t TEN_20_30 = (10 << 11) | (20 << 5) | 15;
const char* const RECORD_DATE = "7C 06 05 0B 14 1E 24";  // 2024-06-05 11:20:30, +9 h

Project SmallTree() {
    Project p = test::NewProject();
    const int32_t data = test::AddDir(p, "DATA");
    p.dirTable[data].dosDate = JUNE_5_2024;
    p.dirTable[data].dosTime = TEN_20_30;
    const int32_t file = test::AddFile(p, "A.B", 5);
    p.fileTable[file].dosDate = JUNE_5_2024;
    p.fileTable[file].dosTime = TEN_20_30;
    RecomputeLayout(p);  // root 22, DATA 23, A.B 24, 25 sectors, path table 22 bytes
    return p;
}

// Runs one writer into a 2048-byte-sector image and returns its bytes.
template <typename Writer>
Bytes Written(Writer write) {
    test::TempDir dir;
    CompileState state;
    state.rawSectors = 0;
    state.sectorSize = 2048;
    EXPECT_TRUE(state.image.Create((dir / "out").string(), OutputOptions{}));
    SectorBuffer sector{};
    EXPECT_EQ(write(state, sector), 0);
    EXPECT_TRUE(state.image.Close());
    return test::ReadBytes(dir / "out");
}

Bytes DirectoryExtent(const Project& p, uint32_t dirNumber) {
    return Written(
        [&](CompileState& s, SectorBuffer& b) { return WriteDirectoryExtent(p, s, b, dirNumber); });
}

TEST(VolumeDescriptor, PrimaryDescriptorMatchesTheHandWorkedBytes) {
    Project p = SmallTree();
    Bytes pvd(2048, 0);
    BuildPrimaryVolumeDescriptor(p, pvd.data());

    Bytes expected(2048, 0);
    Patch(expected, 0, test::Hex("01 43 44 30 30 31 01"));
    PatchText(expected, 8, "PLAYSTATION" + std::string(21, ' '));
    PatchText(expected, 40, "NEW" + std::string(29, ' '));
    Patch(expected, 80, test::Hex("19 00 00 00 00 00 00 19"));               // 25 sectors
    Patch(expected, 120, test::Hex("01 00 00 01 01 00 00 01 00 08 08 00"));  // set, sequence, 2048
    Patch(expected, 132, test::Hex("16 00 00 00 00 00 00 16"));              // 22 path table bytes
    Patch(expected, 140, test::Hex("12 00 00 00 13 00 00 00 00 00 00 14 00 00 00 15"));
    Patch(expected, 156, test::Hex("22 00 16 00 00 00 00 00 00 16 00 08 00 00 00 00 08 00"));
    Patch(expected, 174, test::Hex(RECORD_DATE));
    Patch(expected, 181, test::Hex("02 00 00 01 00 00 01 01 00"));
    PatchText(expected, 190, std::string(3 * 128, ' '));
    PatchText(expected, 574, "PLAYSTATION" + std::string(117, ' '));
    PatchText(expected, 702, std::string(111, ' '));
    PatchText(expected, 813, "2024060511203000");
    PatchText(expected, 830, "2024060511203000");
    PatchText(expected, 847, "0000000000000000");
    PatchText(expected, 864, "0000000000000000");
    expected[881] = 1;
    PatchText(expected, 1024, "CD-XA001");
    EXPECT_EQ(pvd, expected);
    // The label is padded with spaces in the model too.
    EXPECT_EQ(p.volumeInfo.Label(), "NEW" + std::string(29, ' '));
    EXPECT_EQ(p.volumeInfo.label[32], '\0');

    Bytes terminator(2048, 0);
    BuildVolumeDescriptorTerminator(terminator.data());
    expected.assign(2048, 0);
    Patch(expected, 0, test::Hex("FF 43 44 30 30 31 01"));
    EXPECT_EQ(terminator, expected);
}

TEST(VolumeDate, CarriesSecondMinuteAndHourIntoTheDayOnly) {
    VolumeInfo v;
    std::tie(v.day, v.month, v.year, v.hour, v.minute, v.second) = std::make_tuple(31, 12, 1999, 23, 59, 60);
    EXPECT_EQ(volumeDateString(v), "1999123200000000");  // the day is not carried into the month
}

TEST(PathTable, LittleAndBigEndianCopies) {
    const Project p = SmallTree();
    Bytes little(2048, 0);
    Patch(little, 0,
          test::Hex("01 00 16 00 00 00 01 00 00 00  04 00 17 00 00 00 01 00 44 41 54 41"));
    Bytes big(2048, 0);
    Patch(big, 0, test::Hex("01 00 00 00 00 16 00 01 00 00  04 00 00 00 00 17 00 01 44 41 54 41"));
    for (const auto& [order, expected] : {std::pair{ByteOrder::Little, little}, {ByteOrder::Big, big}}) {
        EXPECT_EQ(Written([&](CompileState& s, SectorBuffer& b) { return WritePathTable(p, s, b, order); }),
                  expected);
    }
}

TEST(DirectoryExtent, RootRecordsMatchTheHandWorkedBytes) {
    const Project p = SmallTree();
    const std::string xaDir = "00 00 00 00 8D 55 58 41 00 00 00 00 00 00";
    const std::string xaFile = "00 00 00 00 0D 55 58 41 00 00 00 00 00 00";
    Bytes expected(2048, 0);
    const std::string self =
        "30 00 16 00 00 00 00 00 00 16 00 08 00 00 00 00 08 00 "
        "00 00 00 00 00 00 00 02 00 00 01 00 00 01 01 ";
    Patch(expected, 0, test::Hex(self + "00 " + xaDir));
    Patch(expected, 48, test::Hex(self + "01 " + xaDir));  // the root's parent is the root
    Patch(expected, 96,
          test::Hex("34 00 17 00 00 00 00 00 00 17 00 08 00 00 00 00 08 00 " +
                    std::string(RECORD_DATE) + " 02 00 00 01 00 00 01 04 44 41 54 41 00 " + xaDir));
    Patch(
        expected, 148,
        test::Hex("34 00 18 00 00 00 00 00 00 18 05 00 00 00 00 00 00 05 " +
                  std::string(RECORD_DATE) + " 00 00 00 01 00 00 01 05 41 2E 42 3B 31 " + xaFile));
    EXPECT_EQ(DirectoryExtent(p, 1), expected);
}

TEST(DirectoryExtent, DotDotNamesTheParentAndAnHourPastMidnightGoesToDayZero) {
    Project p = test::NewProject();
    const int32_t a = test::AddDir(p, "A");
    const int32_t b = test::AddDir(p, "B", a);
    const int32_t f = test::AddFile(p, "LATE.TXT", 1, b);
    p.fileTable[f].dosDate = (20 << 9) | (5 << 5) | 31;    // 31 May 2000
    p.fileTable[f].dosTime = (23 << 11) | (30 << 5) | 31;  // 23:30:62
    RecomputeLayout(p);
    const Bytes extent = DirectoryExtent(p, static_cast<uint32_t>(b) + 1);
    EXPECT_EQ(extent[2], static_cast<uint8_t>(p.dirTable[b].lba));
    EXPECT_EQ(extent[48 + 2], static_cast<uint8_t>(p.dirTable[a].lba));
    // 23:30:62 + 1 h -> 00:31:00 of day 32, stored as day 0 of May.
    EXPECT_EQ(Bytes(extent.begin() + 96 + 18, extent.begin() + 96 + 25),
              test::Hex("64 05 00 00 1F 00 24"));
}

TEST(DirectoryExtent, EmitsExactlyTheSectorsTheLayoutReserved) {
    // Child counts and name lengths that put records on and around every
    // sector boundary; the layout and the writer must agree on each.
    for (int children = 0; children <= 140; ++children) {
        Project p = test::NewProject();
        const int32_t d = test::AddDir(p, "D");
        for (int i = 0; i < children; ++i) {
            const std::string name =
                std::string(1 + (i * 7) % 8, 'N') + ".B" + std::to_string(i % 10);
            if (i % 5 == 0) {
                test::AddDir(p, std::string(1 + i % 8, 'S') + std::to_string(i), d);
            } else {
                test::AddFile(p, name, 1, d);
            }
        }
        RecomputeLayout(p);
        const Bytes extent = DirectoryExtent(p, static_cast<uint32_t>(d) + 1);
        ASSERT_EQ(extent.size(), p.dirTable[d].size) << children << " children";
        // No sector holds 2048 bytes of records: its last byte is always free.
        for (size_t end = 2047; end < extent.size(); end += 2048) ASSERT_EQ(extent[end], 0);
    }
}

}  // namespace
}  // namespace korvalin
