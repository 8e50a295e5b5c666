#include "model/project_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "layout/recompute_layout.h"
#include "layout/project_summary.h"
#include "model/byte_io.h"
#include "model/disc_path.h"
#include "model/list_rows.h"
#include "test_support.h"

namespace korvalin {
namespace {

using test::AddDir;
using test::AddDummy;
using test::AddFile;

std::vector<uint8_t> Store(Project& project) {
    ProjectArchive archive;
    archive.isStoring = true;
    EXPECT_EQ(SerializeProject(project, archive), 0);
    return archive.bytes;
}

int Load(const std::vector<uint8_t>& bytes, Project& project, std::string* problem = nullptr) {
    ProjectArchive archive;
    archive.isStoring = false;
    archive.bytes = bytes;
    const int result = SerializeProject(project, archive);
    if (problem) *problem = archive.problem;
    return result;
}

uint32_t U32At(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (uint32_t{b[at + 3]} << 24);
}

constexpr size_t LABEL_AT = 96 + 37632;
constexpr size_t RECORDS_AT = LABEL_AT + 33 + 24;

TEST(ProjectFile, NewProjectIs37833Bytes) {
    Project project = test::NewProject();
    RecomputeLayout(project);
    const auto bytes = Store(project);
    ASSERT_EQ(bytes.size(), 37833u);
    EXPECT_EQ(std::memcmp(bytes.data(), "korvalindataCD\0", 15), 0);
    EXPECT_EQ(bytes[16], 0);
    EXPECT_EQ(bytes[17], 1);
    EXPECT_EQ(U32At(bytes, 20), 1u);
    EXPECT_EQ(U32At(bytes, 24), 0u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[LABEL_AT])), "NEW");
    // Volume date as shown: 5 June 2024, 11:20:30.
    EXPECT_EQ(U32At(bytes, LABEL_AT + 33), 5u);
    EXPECT_EQ(U32At(bytes, LABEL_AT + 33 + 8), 2024u);
    EXPECT_EQ(U32At(bytes, LABEL_AT + 33 + 12), 11u);
    // The root record: length 1, name 0, lba 22, parent 1, size 2048, record 34.
    EXPECT_EQ(U32At(bytes, RECORDS_AT), 1u);
    EXPECT_EQ(bytes[RECORDS_AT + 4], 0);
    EXPECT_EQ(U32At(bytes, RECORDS_AT + 24), 22u);
    EXPECT_EQ(U32At(bytes, RECORDS_AT + 32), 1u);
    EXPECT_EQ(U32At(bytes, RECORDS_AT + 36), 2048u);
    EXPECT_EQ(U32At(bytes, RECORDS_AT + 40), 34u);
    EXPECT_EQ(U32At(bytes, RECORDS_AT + 44), 0u);
}

TEST(ProjectFile, RecordsAndFileBlocksHaveTheirExactBytes) {
    Project project = test::NewProject();
    const int32_t data = AddDir(project, "DATA");
    const int32_t file = AddFile(project, "A.BIN", 0x01020304, data, "C:\\A.BIN");
    project.fileTable[file].dosDate = 0x1234;
    project.fileTable[file].dosTime = 0x5678;
    project.fileTable[file].lba = -1;
    project.fileTable[file].flags = FLAG_LBA_SET;
    AddDummy(project, "D.BIN", 300, 10);
    const auto bytes = Store(project);

    const size_t fileBlock = RECORDS_AT + 2 * 48;
    ASSERT_EQ(bytes.size(), fileBlock + 4 + 57 + 4 + 48);
    EXPECT_EQ(U32At(bytes, fileBlock), 57u);  // 48 + "C:\A.BIN" + NUL
    const uint8_t expectedRecord[48] = {
        5, 0, 0, 0,                                            // nameLength
        'A', '.', 'B', 'I', 'N', 0, 0, 0, 0, 0, 0, 0, 0,       // name
        0, 0, 0,                                               // reserved
        0x34, 0x12, 0x78, 0x56,                                // dosDate, dosTime
        0xFF, 0xFF, 0xFF, 0xFF,                                // lba -1
        0x01, 0x00, 0, 0,                                      // flags, reserved
        2, 0, 0, 0,                                            // parent: DATA is number 2
        0x04, 0x03, 0x02, 0x01,                                // size
        54, 0, 0, 0,                                           // recordLength 5 + 49
        1, 0, 0, 0,                                            // a path follows
    };
    EXPECT_EQ(std::memcmp(&bytes[fileBlock + 4], expectedRecord, 48), 0);
    EXPECT_EQ(std::memcmp(&bytes[fileBlock + 52], "C:\\A.BIN\0", 9), 0);
    const size_t dummyBlock = fileBlock + 4 + 57;
    EXPECT_EQ(U32At(bytes, dummyBlock), 48u);
    EXPECT_EQ(U32At(bytes, dummyBlock + 4 + 44), 0u);
    EXPECT_EQ(U32At(bytes, dummyBlock + 4 + 28) & 0xFFFF, 0x09u);
}

TEST(ProjectFile, SavingCollapsesRunsOfBackslashesInMemoryToo) {
    Project project = test::NewProject();
    AddFile(project, "A.BIN", 1, 0, "C:\\\\GAME\\\\\\\\DATA.BIN");
    AddFile(project, "B.BIN", 1, 0, "\\\\server\\share\\B.BIN");
    const auto bytes = Store(project);
    EXPECT_EQ(*project.fileTable[0].sourcePath, "C:\\GAME\\DATA.BIN");
    EXPECT_EQ(*project.fileTable[1].sourcePath, "\\server\\share\\B.BIN");
    EXPECT_EQ(U32At(bytes, RECORDS_AT + 48), 48u + 17u);
}

TEST(ProjectFile, RoundTripKeepsEveryFieldAndEveryByte) {
    Project project = test::NewProject();
    project.systemArea[0] = 0x11;
    project.systemArea[SYSTEM_AREA_SIZE - 1] = 0x22;
    project.volumeInfo.SetLabel("SLUS_00001");
    const int32_t d = AddDir(project, "GAME");
    project.dirTable[d].flags = FLAG_DISPLACED;
    AddFile(project, "SYSTEM.CNF", 68, d, "/home/u/game/SYSTEM.CNF");
    AddDummy(project, "PAD.BIN", 5000, 2048 * 10);
    RecomputeLayout(project);
    const auto first = Store(project);

    Project loaded = test::NewProject();
    ASSERT_EQ(Load(first, loaded), 0);
    EXPECT_EQ(loaded.dirCount(), 2);
    EXPECT_EQ(loaded.fileCount(), 2);
    EXPECT_EQ(loaded.volumeInfo.Label(), "SLUS_00001");
    EXPECT_EQ(loaded.systemArea, project.systemArea);
    EXPECT_EQ(loaded.dirTable[d].flags, FLAG_DISPLACED);
    EXPECT_EQ(loaded.fileTable[0].lba, project.fileTable[0].lba);
    EXPECT_EQ(*loaded.fileTable[0].sourcePath, "/home/u/game/SYSTEM.CNF");
    EXPECT_FALSE(loaded.fileTable[1].sourcePath.has_value());
    EXPECT_EQ(Store(loaded), first);
}

// A file as another careful writer may produce it: junk behind the NULs,
// reserved bytes set, a path reference that is not 1, no system area.
std::vector<uint8_t> ForeignFile() {
    std::vector<uint8_t> bytes;
    ByteWriter out(bytes);
    uint8_t header[96] = {};
    std::memcpy(header, "korvalindataCD", 15);
    header[17] = 1;
    header[20] = 2;  // dirCount
    header[24] = 1;  // fileCount
    out.Bytes(header, 96);
    std::vector<uint8_t> area(37632, 0x5A);
    out.Bytes(area.data(), area.size());
    const char label[33] = "MYDISC\0junk-after-the-terminator";
    out.Bytes(label, 33);
    for (int32_t v : {31, 12, 1999, 23, 59, 58}) out.I32(v);
    auto record = [&](uint32_t nameLength, const char (&name)[14], int32_t lba, uint32_t parent,
                      uint32_t size, uint32_t recordLength, uint32_t ref) {
        out.U32(nameLength);
        out.Bytes(name, 13);
        out.Bytes("\x01\x02\x03", 3);
        out.U16(0x2345);
        out.U16(0x6789);
        out.I32(lba);
        out.U16(FLAG_LBA_SET);
        out.U16(0xBEEF);
        out.U32(parent);
        out.U32(size);
        out.U32(recordLength);
        out.U32(ref);
    };
    record(1, "\0ROOTJUNK....", 22, 1, 2048, 34, 0);
    record(3, "DIR\0xyzxyzxyz", 40, 1, 2048, 51, 0);
    const char path[] = "/data/x.bin";
    out.U32(48 + sizeof path);
    record(5, "X.BIN\0garbage", 41, 2, 1000, 54, 0xDEADBEEF);
    out.Bytes(path, sizeof path);
    return bytes;
}

TEST(ProjectFile, FileFromAnotherWriterIsSavedBackByteForByte) {
    const auto foreign = ForeignFile();
    Project project = test::NewProject();
    ASSERT_EQ(Load(foreign, project), 0);
    EXPECT_EQ(project.volumeInfo.Label(), "MYDISC");
    EXPECT_EQ(project.dirTable[1].Name(), "DIR");
    EXPECT_EQ(project.fileTable[0].Name(), "X.BIN");
    EXPECT_EQ(project.fileTable[0].parent, 2u);
    EXPECT_EQ(Store(project), foreign);
}

TEST(ProjectFile, WithoutTheSystemAreaFlagTheCurrentAreaIsKept) {
    Project source = test::NewProject();
    auto bytes = Store(source);
    bytes[17] = 0;
    bytes.erase(bytes.begin() + 96, bytes.begin() + 96 + SYSTEM_AREA_SIZE);
    Project project = test::NewProject();
    project.systemArea[100] = 7;
    ASSERT_EQ(Load(bytes, project), 0);
    EXPECT_EQ(project.systemArea[100], 7);
    EXPECT_EQ(project.volumeInfo.Label(), "NEW");
}

TEST(ProjectFile, MalformedFilesAreRefusedWithTheirProblem) {
    Project good = test::NewProject();
    AddFile(good, "A.BIN", 1, 0, "/a");
    const auto bytes = Store(good);
    struct Case {
        size_t offset;
        std::vector<uint8_t> patch;
        const char* problem;
    };
    const size_t block = RECORDS_AT + 48;
    const Case cases[] = {
        {0, {'K'}, "no \"korvalindataCD\" magic"},
        {20, {0x00, 0x00, 0x00, 0x00}, "directory count 0"},
        {20, {0x01, 0x04, 0x00, 0x00}, "directory count 1025"},
        {24, {0xFF, 0xFF, 0xFF, 0xFF}, "file count -1"},
        {24, {0x01, 0x10, 0x00, 0x00}, "file count 4097"},
        {block, {0x31, 0x02, 0x00, 0x00}, "source path of 513 bytes"},
        {block, {0x2F, 0x00, 0x00, 0x00}, "shorter than its 48-byte record"},
    };
    for (const Case& c : cases) {
        auto broken = bytes;
        std::copy(c.patch.begin(), c.patch.end(), broken.begin() + static_cast<long>(c.offset));
        Project project = test::NewProject();
        AddDir(project, "KEEP");
        std::string problem;
        EXPECT_NE(Load(broken, project, &problem), 0) << c.problem;
        EXPECT_NE(problem.find(c.problem), std::string::npos) << problem;
        EXPECT_EQ(project.dirCount(), 2) << "a refused load changes nothing";
    }
}

TEST(ProjectFile, EveryTruncationIsRefused) {
    Project good = test::NewProject();
    AddDir(good, "D");
    AddFile(good, "A.BIN", 1, 1, "/a/b/c");
    AddDummy(good, "Z.BIN", 99);
    const auto bytes = Store(good);
    // The system area is one long read; step through it in big strides.
    for (size_t length = 0; length < bytes.size(); length += (length > 200 && length < 37700) ? 997 : 1) {
        Project project = test::NewProject();
        std::string problem;
        const std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<long>(length));
        ASSERT_NE(Load(cut, project, &problem), 0) << length;
        EXPECT_FALSE(problem.empty());
    }
}

TEST(ProjectFileOnDisk, RefusedOpenLeavesANewEmptyProjectAndNamesTheFile) {
    test::TempDir dir;
    test::WriteBytes(dir / "bad.krv", std::vector<uint8_t>(PROJECT_MAGIC, PROJECT_MAGIC + 15));
    Project project = test::NewProject();
    AddFile(project, "OLD.BIN", 1);
    std::string message;
    EXPECT_FALSE(OpenProjectFile((dir / "bad.krv").string(), project,
                                 CalendarTime{2024, 1, 1, 0, 0, 0}, message));
    EXPECT_NE(message.find("bad.krv"), std::string::npos);
    EXPECT_NE(message.find("ends early"), std::string::npos);
    EXPECT_EQ(project.dirCount(), 1);
    EXPECT_EQ(project.fileCount(), 0);
    EXPECT_EQ(project.volumeInfo.Label(), "NEW");

    EXPECT_FALSE(OpenProjectFile((dir / "missing.krv").string(), project,
                                 CalendarTime{2024, 1, 1, 0, 0, 0}, message));
    EXPECT_NE(message.find("No such file"), std::string::npos);
}

TEST(ProjectFileOnDisk, SaveReplacesTheFileWholeAndLeavesNoTemporaryFile) {
    test::TempDir dir;
    const auto path = dir / "p.krv";
    test::WriteText(path, "old contents");
    Project project = test::NewProject();
    std::string message;
    ASSERT_TRUE(SaveProjectFile(path.string(), project, message)) << message;
    EXPECT_EQ(test::ReadBytes(path).size(), 37833u);
    size_t entries = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir.path())) {
        (void)e;
        ++entries;
    }
    EXPECT_EQ(entries, 1u);

    EXPECT_FALSE(SaveProjectFile((dir / "no" / "such" / "p.krv").string(), project, message));
    EXPECT_NE(message.find("p.krv"), std::string::npos);
}

}  // namespace
}  // namespace korvalin

namespace korvalin {
namespace {

// Damaged files that still load must not break anything that reads the model.
TEST(ProjectFile, RandomlyDamagedFilesLoadOrAreRefusedAndNeverBreakTheReaders) {
    Project good = test::NewProject();
    const int32_t a = test::AddDir(good, "A");
    const int32_t b = test::AddDir(good, "B", a);
    test::AddFile(good, "F.BIN", 5000, b, "/x");
    test::AddDummy(good, "D.BIN", 30);
    ProjectArchive stored;
    SerializeProject(good, stored);
    const size_t recordsAt = 96 + SYSTEM_AREA_SIZE;
    std::mt19937 random(1234);
    for (int round = 0; round < 400; ++round) {
        auto bytes = stored.bytes;
        for (int flips = 0; flips < 4; ++flips) {
            const size_t at = recordsAt + random() % (bytes.size() - recordsAt);
            bytes[at] = static_cast<uint8_t>(random());
        }
        if (round % 10 == 0) bytes[20 + random() % 8] = static_cast<uint8_t>(random());
        Project project = test::NewProject();
        ProjectArchive archive;
        archive.isStoring = false;
        archive.bytes = bytes;
        if (SerializeProject(project, archive) != 0) continue;
        RecomputeLayout(project);
        for (int32_t d = 0; d < project.dirCount(); ++d) {
            BuildListRows(project, d);
            DiscPathOfEntry(project, d);
            DirDepth(project, static_cast<uint32_t>(d) + 1);
        }
        for (int32_t f = 0; f < project.fileCount(); ++f) DiscPathOfEntry(project, FileId(f));
        ProjectSummary(project);
    }
}

}  // namespace
}  // namespace korvalin
