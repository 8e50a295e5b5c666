// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/project_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "image/volume_date.h"
#include "layout/precompile_check.h"
#include "layout/project_summary.h"
#include "layout/recompute_layout.h"
#include "model/disc_path.h"
#include "model/list_rows.h"
#include "model/project_archive.h"
#include "test_support.h"

namespace korvalin {
namespace {

using test::Load;
using test::Store;

uint32_t U32At(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (uint32_t{b[at + 3]} << 24);
}

constexpr size_t RECORDS_AT = 96 + 37632 + 33 + 24;

// A byte patch at an offset, and the problem a load must then report.
using PatchCase = std::tuple<size_t, std::vector<uint8_t>, const char*>;

// Each patched copy of `good` is refused with its problem and loads nothing.
template <size_t N>
void ExpectPatchesRefused(const std::vector<uint8_t>& good, const PatchCase (&cases)[N]) {
    for (const auto& [offset, patch, expected] : cases) {
        auto broken = good;
        std::copy(patch.begin(), patch.end(), broken.begin() + static_cast<long>(offset));
        Project project = test::NewProject();
        test::AddDir(project, "KEEP");
        std::string problem;
        EXPECT_NE(Load(broken, project, &problem), 0) << expected;
        EXPECT_NE(problem.find(expected), std::string::npos) << problem;
        EXPECT_EQ(project.dirCount(), 2);
        EXPECT_EQ(project.settings, ProjectSettings{});
    }
}

TEST(ProjectFile, RecordsAndFileBlocksHaveTheirExactBytes) {
    Project project = test::NewProject();
    EXPECT_EQ(Store(project).size(), 37833u);  // root only

    const int32_t data = test::AddDir(project, "DATA");
    // Runs of backslashes collapse to one, in the file and in memory.
    const int32_t file = test::AddFile(project, "A.BIN", 0x01020304, data, "C:\\\\\\A.BIN");
    project.fileTable[file].dosDate = 0x1234;
    project.fileTable[file].dosTime = 0x5678;
    project.fileTable[file].flags = FLAG_LBA_SET;
    test::AddDummy(project, "D.BIN", 300, 10);
    const auto bytes = Store(project);
    EXPECT_EQ(*project.fileTable[file].sourcePath, "C:\\A.BIN");
    EXPECT_EQ(std::memcmp(bytes.data(), "korvalindataCD", 15), 0);
    EXPECT_EQ(bytes[16], 0);
    EXPECT_EQ(bytes[17], 1);  // a system area follows

    // The file's block: its length, the 48-byte record, the path; then the
    // dummy's block, a record without a path.
    const size_t block = RECORDS_AT + 2 * 48;
    ASSERT_EQ(bytes.size(), block + 4 + 57 + 4 + 48);
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + block, bytes.begin() + block + 4 + 57),
              test::Hex("39 00 00 00  05 00 00 00  41 2E 42 49 4E 00 00 00 00 00 00 00 00  00 00 00"
                        "  34 12 78 56  FF FF FF FF  01 00 00 00  02 00 00 00  04 03 02 01"
                        "  36 00 00 00  01 00 00 00  43 3A 5C 41 2E 42 49 4E 00"));
    EXPECT_EQ(U32At(bytes, block + 61), 48u);
    EXPECT_EQ(U32At(bytes, block + 61 + 4 + 44), 0u);

    // A network share keeps one leading backslash.
    test::AddFile(project, "B.BIN", 1, 0, "\\\\server\\share\\B.BIN");
    Store(project);
    EXPECT_EQ(*project.fileTable[2].sourcePath, "\\server\\share\\B.BIN");
}

TEST(ProjectFile, BytesThatMeanNothingAreKeptAndTheSystemAreaIsOptional) {
    Project project = test::NewProject();
    test::AddFile(project, "X.BIN", 1000, test::AddDir(project, "DIR"), "/data/x.bin");
    test::AddDummy(project, "Y.BIN", 41);
    auto bytes = Store(project);
    // As another writer may leave them: junk behind the NULs, reserved bytes
    // set, a path reference that is not 1, a system area.
    std::fill(bytes.begin() + 96, bytes.begin() + 96 + 37632, 0x5A);
    std::memcpy(&bytes[96 + 37632 + 4], "junk-after-the-terminator", 25);
    for (int record = 0; record < 4; ++record) {
        const size_t at = RECORDS_AT + 48 * record + (record >= 2 ? 4 : 0) + (record == 3 ? 16 : 0);
        std::memcpy(&bytes[at + 10], "\1\2\3\4\5\6\7\1\2\3", 10);  // name tail, reserved
        bytes[at + 30] = 0xEF;
        if (record == 2) std::memcpy(&bytes[at + 44], "\xEF\xBE\xAD\xDE", 4);
    }
    Project loaded = test::NewProject();
    ASSERT_EQ(Load(bytes, loaded), 0);
    EXPECT_EQ(loaded.volumeInfo.Label(), "NEW");
    EXPECT_EQ(loaded.systemArea, std::vector<uint8_t>(37632, 0x5A));
    EXPECT_EQ(test::FieldsOf(loaded.dirTable), test::FieldsOf(project.dirTable));
    EXPECT_EQ(loaded.fileTable[0].sourcePath, "/data/x.bin");
    EXPECT_FALSE(loaded.fileTable[1].sourcePath.has_value());
    EXPECT_EQ(Store(loaded), bytes);

    // Without the system-area flag the area in memory is kept.
    bytes[17] = 0;
    bytes.erase(bytes.begin() + 96, bytes.begin() + 96 + 37632);
    Project other = test::NewProject();
    other.systemArea[100] = 7;
    ASSERT_EQ(Load(bytes, other), 0);
    EXPECT_EQ(other.systemArea[100], 7);
    EXPECT_EQ(other.fileCount(), 2);
}

// Malformed and cut-short files are refused with their problem and change
// nothing; randomly damaged ones load or are refused, and what loads never
// breaks anything that reads the model (under the sanitizers too).
TEST(ProjectFile, DamagedFilesAreRefusedOrLoadHarmlessly) {
    Project good = test::NewProject();
    test::AddFile(good, "F.BIN", 5000, test::AddDir(good, "B", test::AddDir(good, "A")), "/a");
    test::AddDummy(good, "D.BIN", 30);
    const auto stored = Store(good);
    const size_t block = RECORDS_AT + 3 * 48;
    const PatchCase cases[] = {
        {0, {'K'}, "no \"korvalindataCD\" magic"},
        {20, {0x00, 0x00, 0x00, 0x00}, "directory count 0"},
        {20, {0x01, 0x04, 0x00, 0x00}, "directory count 1025"},
        {24, {0xFF, 0xFF, 0xFF, 0xFF}, "file count -1"},
        {24, {0x01, 0x10, 0x00, 0x00}, "file count 4097"},
        {block, {0x31, 0x02, 0x00, 0x00}, "source path of 513 bytes"},
        {block, {0x2F, 0x00, 0x00, 0x00}, "shorter than its 48-byte record"},
        {RECORDS_AT + 48 + 32, {0x00, 0x00, 0x00, 0x80}, "directory record 1 names parent directory 2147483648"},
        {block + 4 + 32, {0x01, 0x04, 0x00, 0x00}, "file block 0 of 2 names parent directory 1025"},
    };
    ExpectPatchesRefused(stored, cases);
    // The system area is one long read; step through it in big strides.
    for (size_t length = 0; length < stored.size();
         length += (length > 200 && length < 37700) ? 997 : 1) {
        Project project = test::NewProject();
        std::string problem;
        ASSERT_NE(
            Load({stored.begin(), stored.begin() + static_cast<long>(length)}, project, &problem),
            0);
        EXPECT_FALSE(problem.empty());
    }
    // Hostile but well-formed: extreme volume dates are held to what the
    // volume date text can show, LBAs near 2^31 load as they are.
    const auto patch32 = [](std::vector<uint8_t>& b, size_t at, uint32_t value) {
        for (int i = 0; i < 4; ++i) b[at + static_cast<size_t>(i)] = static_cast<uint8_t>(value >> (8 * i));
    };
    const size_t dateAt = 96 + 37632 + 33;
    auto hostile = stored;
    for (size_t field = 0; field < 6; ++field) patch32(hostile, dateAt + 4 * field, field % 2 ? 0x7FFFFFFF : 0x80000000);
    Project extreme = test::NewProject();
    ASSERT_EQ(Load(hostile, extreme), 0);
    const VolumeInfo& v = extreme.volumeInfo;
    EXPECT_EQ((std::vector<int32_t>{v.day, v.month, v.year, v.hour, v.minute, v.second}),
              (std::vector<int32_t>{0, 99, 0, 99, 0, 99}));

    std::mt19937 random(1234);
    const uint32_t extremes[] = {0x7FFFFFFF, 0x7FFFFFFE, 0x80000000, 0xFFFFFFFF, 0x7FFFF000};
    for (int round = 0; round < 400; ++round) {
        auto bytes = stored;
        for (int flips = 0; flips < 4; ++flips) {
            bytes[RECORDS_AT + random() % (bytes.size() - RECORDS_AT)] =
                static_cast<uint8_t>(random());
        }
        if (round % 10 == 0) bytes[20 + random() % 8] = static_cast<uint8_t>(random());
        if (round % 3 == 0) {
            patch32(bytes, dateAt + 4 * (random() % 6), extremes[random() % 5]);
            // The LBA of a directory record, of the file's or of the dummy's.
            const size_t lbaAt[] = {RECORDS_AT + 24, RECORDS_AT + 48 + 24, block + 4 + 24, bytes.size() - 48 + 24};
            patch32(bytes, lbaAt[random() % 4], extremes[random() % 5]);
        }
        Project project = test::NewProject();
        if (Load(bytes, project) != 0) continue;
        FinishLoadedProject(project);
        RecomputeLayout(project);
        PreCompileCheck(project);
        volumeDateString(project.volumeInfo);
        for (int32_t d = 0; d < project.dirCount(); ++d) {
            BuildListRows(project, d);
            DiscPathOfEntry(project, d);
        }
        for (int32_t f = 0; f < project.fileCount(); ++f) DiscPathOfEntry(project, FileId(f));
        ProjectSummary(project);
    }
}

// The extension block after the file blocks: its bytes, what it keeps for
// later versions, and damaged blocks refused with their problem.

using Bytes = std::vector<uint8_t>;
constexpr size_t PLAIN_SIZE = 37833;  // a new project, root only

Bytes Slice(const Bytes& b, size_t from, size_t count) {
    return Bytes(b.begin() + static_cast<long>(from), b.begin() + static_cast<long>(from + count));
}

// A root-only project with both settings and a record from a later version.
Bytes FileWithBlock() {
    Project project = test::NewProject();
    project.settings = {true, true};
    project.fileLeftovers.unknownRecords.push_back({0x7777, 0, {'a', 'b', 'c'}});
    return Store(project);
}

TEST(ProjectFileExtension, SettingsGoIntoAnAnnouncedBlockAndWhatIsNotUsedIsWrittenBack) {
    Project project = test::NewProject();
    Bytes plain = Store(project);
    ASSERT_EQ(plain.size(), PLAIN_SIZE);
    project.settings = {true, true};
    const Bytes bytes = Store(project);
    EXPECT_EQ(Slice(bytes, 28, 12), test::Hex("4B 52 56 58  C9 93 00 00  1C 00 00 00"));
    EXPECT_EQ(Slice(bytes, PLAIN_SIZE, bytes.size() - PLAIN_SIZE),
              test::Hex("6B 6F 72 76 65 78 74 00  01 00  01 00  01 00 00 00"
                        "  01 00 00 00  04 00 00 00  03 00 00 00"));

    // Another writer's reserved header bytes, a record of a later version.
    for (size_t i : {15, 18, 19, 28, 40, 95}) plain[i] = static_cast<uint8_t>(i);
    Project loaded = test::NewProject();
    ASSERT_EQ(Load(plain, loaded), 0);
    EXPECT_EQ(Store(loaded), plain);
    const Bytes block = FileWithBlock();
    ASSERT_EQ(Load(block, loaded), 0);
    EXPECT_EQ(loaded.settings, (ProjectSettings{true, true}));
    EXPECT_EQ(Store(loaded), block);
    loaded.settings = {};  // nothing left to say: the plain format again
    loaded.fileLeftovers.unknownRecords.clear();
    EXPECT_EQ(Store(loaded), Slice(Store(project = test::NewProject()), 0, PLAIN_SIZE));
}

// Each case patches the file with a block (settings, then tag 0x7777 with 3
// bytes; the block starts at byte 37833 and is 39 bytes long).
TEST(ProjectFileExtension, DamagedBlocksAreRefusedAndLoadNothing) {
    const Bytes good = FileWithBlock();
    ASSERT_EQ(good.size(), PLAIN_SIZE + 39);
    const size_t b = PLAIN_SIZE;
    const PatchCase cases[] = {
        {32, {0xC8}, "announces an extension block at byte 37832, but the file blocks end"},
        {36, {0x28}, "block of 40 bytes, but 39 bytes follow"},
        {b, {'K'}, "does not begin with \"korvext\""},
        {b + 10, {0x02}, "needs a Korvalin that reads version 2"},
        {b + 12, {0xFF, 0xFF, 0xFF, 0xFF}, "ends in record 2 of 4294967295"},
        {b + 12, {0x01}, "has 11 bytes after its last record"},
        {b + 20, {0x02}, "record 0 (system area settings) has 2 bytes, fewer than 4"},
        {b + 32, {0xFF, 0xFF, 0xFF, 0x7F}, "record 1 has a length of 2147483647 bytes, past"},
        {b + 30, {0x01}, "tag 0x7777, which this version of Korvalin does not know and cannot"},
    };
    ExpectPatchesRefused(good, cases);
    for (size_t length = PLAIN_SIZE; length < good.size(); ++length) {
        Project project = test::NewProject();
        EXPECT_NE(Load(Slice(good, 0, length), project), 0) << length;
    }
    // Random damage to the announcement and the block loads or is refused;
    // what loads saves again (under the sanitizers too).
    std::mt19937 random(99);
    for (int round = 0; round < 2000; ++round) {
        Bytes bytes = good;
        for (int flips = 0; flips < 3; ++flips) {
            const size_t at = random() % 3 == 0 ? 28 + random() % 12 : b + random() % 39;
            bytes[at] = static_cast<uint8_t>(random());
        }
        Project project = test::NewProject();
        if (Load(bytes, project) == 0) Store(project);
    }
}

TEST(ProjectFileOnDisk, ARefusedOpenLeavesANewProjectAndASaveReplacesTheWholeFile) {
    test::TempDir dir;
    test::WriteBytes(dir / "bad.krv", std::vector<uint8_t>(PROJECT_MAGIC, PROJECT_MAGIC + 15));
    Project project = test::NewProject();
    test::AddFile(project, "OLD.BIN", 1);
    std::string message;
    EXPECT_FALSE(OpenProjectFile((dir / "bad.krv").string(), project, {2024, 1, 1}, message));
    EXPECT_NE(message.find((dir / "bad.krv").string() + "\": the file ends early"),
              std::string::npos);
    EXPECT_EQ(project.dirCount() + project.fileCount(), 1);
    // No temporary file is left beside it.
    test::WriteText(dir / "bad.krv", std::string(50000, 'x'));
    ASSERT_TRUE(SaveProjectFile((dir / "bad.krv").string(), project, message)) << message;
    EXPECT_EQ(test::ReadBytes(dir / "bad.krv").size(), 37833u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

}  // namespace
}  // namespace korvalin
