// The project file's extension block: its bytes, what it keeps for later
// versions, and damaged blocks refused with their problem.

#include "model/project_extension.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "model/project_file.h"
#include "test_support.h"

namespace korvalin {
namespace {

using Bytes = std::vector<uint8_t>;
constexpr size_t PLAIN_SIZE = 37833;  // a new project, root only

Bytes Store(Project& project) {
    ProjectArchive archive;
    SerializeProject(project, archive);
    return archive.bytes;
}

int Load(const Bytes& bytes, Project& project, std::string* problem = nullptr) {
    ProjectArchive archive{false, bytes, ""};
    const int result = SerializeProject(project, archive);
    if (problem) *problem = archive.problem;
    return result;
}

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

TEST(ProjectExtension, SettingsGoIntoAnAnnouncedBlockAndAPlainProjectStaysPlain) {
    Project project = test::NewProject();
    const Bytes plain = Store(project);
    ASSERT_EQ(plain.size(), PLAIN_SIZE);
    project.settings.keepSystemArea = true;
    project.settings.stampSystemArea = true;
    const Bytes bytes = Store(project);
    EXPECT_EQ(Slice(bytes, 28, 12), test::Hex("4B 52 56 58  C9 93 00 00  1C 00 00 00"));
    EXPECT_EQ(Slice(bytes, PLAIN_SIZE, bytes.size() - PLAIN_SIZE),
              test::Hex("6B 6F 72 76 65 78 74 00  01 00  01 00  01 00 00 00"
                        "  01 00 00 00  04 00 00 00  03 00 00 00"));
    Bytes withoutBlock = Slice(bytes, 0, PLAIN_SIZE);
    std::fill(withoutBlock.begin() + 28, withoutBlock.begin() + 40, 0);
    EXPECT_EQ(withoutBlock, plain);

    for (const ProjectSettings settings : {ProjectSettings{true, false}, ProjectSettings{false, true}}) {
        project.settings = settings;
        Project loaded = test::NewProject();
        ASSERT_EQ(Load(Store(project), loaded), 0);
        EXPECT_EQ(loaded.settings, settings);
        loaded.settings = {};  // nothing left to say: the plain format again
        EXPECT_EQ(Store(loaded), plain);
    }
}

TEST(ProjectExtension, BytesAndRecordsThisVersionDoesNotUseAreWrittenBack) {
    Project project = test::NewProject();
    Bytes plain = Store(project);
    for (size_t i : {15, 18, 19, 28, 40, 95}) plain[i] = static_cast<uint8_t>(i);
    Project loaded = test::NewProject();
    ASSERT_EQ(Load(plain, loaded), 0);
    EXPECT_EQ(Store(loaded), plain);

    const Bytes block = FileWithBlock();
    ASSERT_EQ(Load(block, loaded), 0);
    EXPECT_EQ(loaded.fileLeftovers.unknownRecords.size(), 1u);
    EXPECT_EQ(Store(loaded), block);
}

// Each case patches the file with a block (settings, then tag 0x7777 with 3
// bytes; the block starts at byte 37833 and is 39 bytes long).
TEST(ProjectExtension, DamagedBlocksAreRefusedAndLoadNothing) {
    const Bytes good = FileWithBlock();
    ASSERT_EQ(good.size(), PLAIN_SIZE + 39);
    const size_t b = PLAIN_SIZE;
    const std::tuple<size_t, Bytes, const char*> cases[] = {
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
    for (const auto& [offset, patch, expected] : cases) {
        Bytes broken = good;
        std::copy(patch.begin(), patch.end(), broken.begin() + static_cast<long>(offset));
        Project project = test::NewProject();
        test::AddDir(project, "KEEP");
        std::string problem;
        EXPECT_NE(Load(broken, project, &problem), 0) << expected;
        EXPECT_NE(problem.find(expected), std::string::npos) << problem;
        EXPECT_EQ(project.dirCount(), 2);
        EXPECT_EQ(project.settings, ProjectSettings{});
    }
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

}  // namespace
}  // namespace korvalin
