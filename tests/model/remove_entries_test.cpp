#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "model/editor_script.h"
#include "model/remove_entries.h"
#include "test_support.h"

namespace korvalin {
namespace {

using test::AddDir;
using test::AddFile;

// The full disc path of an entry by following its parent links, however deep.
std::string FullPath(const Project& project, const EntryRecord& entry) {
    std::string path = std::string(entry.Name());
    uint32_t up = entry.parent;
    for (int guard = 0; up != 1; ++guard) {
        if (guard > DIR_TABLE_SLOTS || up == 0 || up > project.dirTable.size()) return "?" + path;
        const DirEntry& dir = project.dirTable[up - 1];
        path = std::string(dir.Name()) + "\\" + path;
        up = dir.parent;
    }
    return "\\" + path;
}

// Every entry but the root as (kind, full path, all fields but the parent link).
using Described = std::tuple<bool, std::string, test::RecordFields>;
std::vector<Described> Describe(const Project& project) {
    std::vector<Described> out;
    auto add = [&](bool isDir, const EntryRecord& e) {
        EntryRecord copy = e;
        copy.parent = 0;
        out.emplace_back(isDir, FullPath(project, e), test::FieldsOf(copy));
    };
    for (int32_t d = 1; d < project.dirCount(); ++d) add(true, project.dirTable[d]);
    for (const FileEntry& f : project.fileTable) add(false, f);
    return out;
}

// What removing `gone` must leave: the other entries, in their order.
std::vector<Described> WithoutSubtrees(const Project& project, const std::vector<int32_t>& gone) {
    std::vector<std::string> prefixes;
    for (int32_t id : gone) {
        const std::string path = FullPath(project, EntryById(project, id));
        prefixes.push_back(IsDirId(id) ? path + "\\" : path);
        if (IsDirId(id)) prefixes.push_back(path);
    }
    std::vector<Described> kept;
    for (const Described& d : Describe(project)) {
        const std::string& path = std::get<1>(d);
        const bool removed = std::any_of(prefixes.begin(), prefixes.end(), [&](const std::string& p) {
            return p.back() == '\\' ? path.rfind(p, 0) == 0 : path == p;
        });
        if (!removed) kept.push_back(d);
    }
    return kept;
}

// Every link names an existing directory; the root is its own parent.
void ExpectValidLinks(const Project& project) {
    ASSERT_GE(project.dirCount(), 1);
    EXPECT_EQ(project.dirTable[0].parent, 1u);
    const uint32_t count = static_cast<uint32_t>(project.dirCount());
    for (int32_t d = 1; d < project.dirCount(); ++d) {
        const uint32_t p = project.dirTable[d].parent;
        EXPECT_TRUE(p >= 1 && p <= count && p != static_cast<uint32_t>(d) + 1) << d;
    }
    for (const FileEntry& f : project.fileTable) EXPECT_TRUE(f.parent >= 1 && f.parent <= count);
}

TEST(RemoveEntries, ADirectoryListedBeforeAFarAncestorIsRemovedToo) {
    // Slots: root, X, C11, C10, ..., C1 with C1 under X and C(k+1) under Ck:
    // C11 and C10 lie more than nine levels below X and come before their parents.
    Project project = test::NewProject();
    const int32_t x = AddDir(project, "X");
    for (int k = 11; k >= 1; --k) AddDir(project, "C" + std::to_string(k));
    // C(k) lies in slot 13-k; its parent C(k-1) in slot 14-k, directory number 15-k.
    project.dirTable[12].parent = static_cast<uint32_t>(x) + 1;
    for (int k = 2; k <= 11; ++k) project.dirTable[13 - k].parent = static_cast<uint32_t>(15 - k);
    project.currentDir = AddDir(project, "OTHER");
    AddFile(project, "DEEP.BIN", 1, 2);  // in C11
    AddFile(project, "OTHER.BIN", 1, project.currentDir);
    ASSERT_EQ(FullPath(project, project.fileTable[0]),
              "\\X\\C1\\C2\\C3\\C4\\C5\\C6\\C7\\C8\\C9\\C10\\C11\\DEEP.BIN");

    const EditOutcome outcome = RemoveEntries(project, {x});
    EXPECT_EQ(outcome.code, EDIT_OK);
    EXPECT_EQ(outcome.refresh, REFRESH_LIST_AND_TREE);
    ASSERT_EQ(project.dirCount(), 2);
    EXPECT_EQ(project.dirTable[1].Name(), "OTHER");
    EXPECT_EQ(project.currentDir, 1);  // the selection follows its directory
    ASSERT_EQ(project.fileCount(), 1);
    EXPECT_EQ(project.fileTable[0].parent, 2u);
    ExpectValidLinks(project);
}

TEST(RemoveEntries, TheRootAndUnknownIdsAreNeverRemoved) {
    Project project = test::NewProject();
    AddDir(project, "DATA");
    AddFile(project, "A.BIN", 1);
    AddFile(project, "B.BIN", 1);
    const auto dirs = test::FieldsOf(project.dirTable);
    EXPECT_EQ(RemoveEntries(project, {0, 5, FileId(7), -1}).code, EDIT_NOTHING);
    EXPECT_EQ(test::FieldsOf(project.dirTable), dirs);
    EXPECT_EQ(project.fileCount(), 2);
    // Removing the last file leaves the others untouched.
    const auto first = test::FieldsOf(project.fileTable[0]);
    EXPECT_EQ(RemoveEntries(project, {0, FileId(1)}).code, EDIT_OK);
    ASSERT_EQ(project.fileCount(), 1);
    EXPECT_EQ(test::FieldsOf(project.fileTable[0]), first);
}

// A random tree: directories under random earlier ones (in a shuffled table
// also under later ones), files in random directories.
Project RandomProject(std::mt19937& rng, bool shuffleDirs) {
    Project project = test::NewProject();
    const int dirs = std::uniform_int_distribution<int>(0, 40)(rng);
    for (int i = 1; i <= dirs; ++i) {
        // Half of them continue the previous directory, for deep chains.
        const int32_t parent =
            rng() % 2 ? i - 1 : std::uniform_int_distribution<int32_t>(0, i - 1)(rng);
        const int32_t d = AddDir(project, "D" + std::to_string(i), parent);
        project.dirTable[d].lba = std::uniform_int_distribution<int32_t>(0, 9999)(rng);
        project.dirTable[d].flags = rng() % 2 ? FLAG_LBA_SET : 0;
    }
    if (shuffleDirs && dirs > 1) {
        std::vector<uint32_t> slotOf(project.dirTable.size());  // old index -> new index
        for (size_t i = 0; i < slotOf.size(); ++i) slotOf[i] = static_cast<uint32_t>(i);
        std::shuffle(slotOf.begin() + 1, slotOf.end(), rng);
        DirTable shuffled(project.dirTable.size());
        for (size_t i = 0; i < slotOf.size(); ++i) {
            DirEntry dir = project.dirTable[i];
            if (i != 0) dir.parent = slotOf[dir.parent - 1] + 1;
            shuffled[slotOf[i]] = dir;
        }
        project.dirTable = shuffled;
    }
    const int files = std::uniform_int_distribution<int>(0, 60)(rng);
    for (int i = 0; i < files; ++i) {
        const int32_t parent = std::uniform_int_distribution<int32_t>(0, project.dirCount() - 1)(rng);
        const int32_t f = AddFile(project, "F" + std::to_string(i) + ".BIN", rng() % 100000, parent,
                                  "/src/" + std::to_string(i));
        if (rng() % 5 == 0) {
            project.fileTable[f].sourcePath.reset();
            project.fileTable[f].flags = FLAG_DUMMY | FLAG_LBA_SET;
        }
    }
    return project;
}

TEST(RemoveEntries, RemovingAnySubtreeOfARandomTreeLeavesTheRestIntact) {
    std::mt19937 rng(20240605);
    for (int round = 0; round < 400; ++round) {
        Project project = RandomProject(rng, round % 2 == 1);
        const int32_t entries = project.dirCount() - 1 + project.fileCount();
        if (entries == 0) continue;
        std::vector<int32_t> gone;
        const int picks = 1 + static_cast<int>(rng() % 2);
        for (int i = 0; i < picks; ++i) {
            const int32_t n = std::uniform_int_distribution<int32_t>(0, entries - 1)(rng);
            gone.push_back(n < project.dirCount() - 1 ? n + 1 : FileId(n - (project.dirCount() - 1)));
        }
        const std::vector<Described> expected = WithoutSubtrees(project, gone);
        RemoveEntries(project, gone);
        SCOPED_TRACE("round " + std::to_string(round));
        ExpectValidLinks(project);
        EXPECT_EQ(Describe(project), expected);
    }
}

}  // namespace
}  // namespace korvalin
