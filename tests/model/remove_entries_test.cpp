// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/remove_entries.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

#include "test_support.h"

namespace korvalin {
namespace {

using test::AddDir;
using test::AddFile;

// Every entry but the root, in table order, with its parent's name instead
// of the parent link (names are unique in these projects).
using Described = std::vector<std::pair<std::string, test::RecordFields>>;
Described Describe(const Project& project, const std::set<std::string>& gone = {}) {
    Described out;
    auto add = [&](const EntryRecord& e) {
        // Removed with its subtree: the entry or one of its ancestors is gone.
        const EntryRecord* at = &e;
        for (int guard = 0; guard < 2 * DIR_TABLE_SLOTS; ++guard) {
            if (gone.count(std::string(at->Name()))) return;
            if (at->parent <= 1 || at->parent > project.dirTable.size()) break;
            at = &project.dirTable[at->parent - 1];
        }
        EntryRecord copy = e;
        copy.parent = 0;
        const std::string parent(project.dirTable.at(e.parent - 1).Name());
        out.emplace_back(parent, test::FieldsOf(copy));
    };
    std::for_each(project.dirTable.begin() + 1, project.dirTable.end(), add);
    std::for_each(project.fileTable.begin(), project.fileTable.end(), add);
    return out;
}

// Every link names an existing directory; the root is its own parent.
void ExpectValidLinks(const Project& project) {
    EXPECT_EQ(project.dirTable.at(0).parent, 1u);
    const uint32_t count = static_cast<uint32_t>(project.dirCount());
    for (int32_t d = 1; d < project.dirCount(); ++d) {
        const uint32_t p = project.dirTable[d].parent;
        EXPECT_TRUE(p >= 1 && p <= count && p != static_cast<uint32_t>(d) + 1) << d;
    }
    for (const FileEntry& f : project.fileTable) EXPECT_TRUE(f.parent >= 1 && f.parent <= count);
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
        test::Pin(project.dirTable[AddDir(project, "D" + std::to_string(i), parent)], i);
    }
    if (shuffleDirs && dirs > 1) {
        std::vector<uint32_t> slotOf(project.dirTable.size());  // old index -> new index
        for (size_t i = 0; i < slotOf.size(); ++i) slotOf[i] = static_cast<uint32_t>(i);
        std::shuffle(slotOf.begin() + 1, slotOf.end(), rng);
        DirTable shuffled(project.dirTable.size());
        for (size_t i = 0; i < slotOf.size(); ++i) {
            shuffled[slotOf[i]] = project.dirTable[i];
            if (i != 0) shuffled[slotOf[i]].parent = slotOf[project.dirTable[i].parent - 1] + 1;
        }
        project.dirTable = shuffled;
    }
    const int files = std::uniform_int_distribution<int>(0, 60)(rng);
    for (int i = 0; i < files; ++i) {
        const int32_t parent =
            std::uniform_int_distribution<int32_t>(0, project.dirCount() - 1)(rng);
        const int32_t f = AddFile(project, "F" + std::to_string(i), i, parent, std::to_string(i));
        if (rng() % 5 == 0) project.fileTable[f].sourcePath.reset();
    }
    return project;
}

TEST(RemoveEntries, RemovingAnySubtreeOfARandomTreeLeavesTheRestIntactAndInOrder) {
    std::mt19937 rng(20240605);
    for (int round = 0; round < 400; ++round) {
        Project project = RandomProject(rng, round % 2 == 1);
        const int32_t entries = project.dirCount() - 1 + project.fileCount();
        if (entries == 0) continue;
        std::vector<int32_t> gone;
        std::set<std::string> names;
        for (int i = 0; i < 1 + static_cast<int>(rng() % 2); ++i) {
            const int32_t n = std::uniform_int_distribution<int32_t>(0, entries - 1)(rng);
            gone.push_back(n < project.dirCount() - 1 ? n + 1
                                                      : FileId(n - (project.dirCount() - 1)));
            names.insert(std::string(EntryById(project, gone.back()).Name()));
        }
        const Described expected = Describe(project, names);
        RemoveEntries(project, gone);
        SCOPED_TRACE("round " + std::to_string(round));
        ExpectValidLinks(project);
        EXPECT_EQ(Describe(project), expected);
    }
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

    const EditOutcome outcome = RemoveEntries(project, {x});
    EXPECT_EQ(outcome.code, EDIT_OK);
    EXPECT_EQ(outcome.refresh, REFRESH_LIST_AND_TREE);
    EXPECT_EQ(test::DirPaths(project), std::vector<std::string>{"\\OTHER"});
    EXPECT_EQ(test::FilePaths(project), std::vector<std::string>{"\\OTHER\\OTHER.BIN"});
    EXPECT_EQ(project.currentDir, 1);  // the selection follows its directory

    // The root and unknown ids are never removed.
    EXPECT_EQ(RemoveEntries(project, {0, 5, FileId(7), -1}).code, EDIT_NOTHING);
    EXPECT_EQ(project.dirCount(), 2);
}

}  // namespace
}  // namespace korvalin
