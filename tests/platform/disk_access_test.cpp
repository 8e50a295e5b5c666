// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <set>
#include <thread>
#include <random>

#include "platform/file_io.h"
#include "platform/file_lock.h"
#include "platform/folder_listing.h"
#include "platform/sequential_file.h"
#include "test_support.h"

namespace korvalin {
namespace {

namespace fs = std::filesystem;

TEST(FolderListing, OrdersByUpperCasedNameAndKeepsFilesFoldersAndLinksButNotPipes) {
    test::TempDir dir;
    for (const char* name : {"_u.bin", "b.txt", "Zed", "A.TXT", "a.txt", "10.BIN"}) {
        test::WriteText(dir / name, "x");
    }
    fs::create_directory(dir / "folder");
    fs::create_symlink(dir / "nothing", dir / "broken");
    ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
    std::vector<FolderItem> items;
    ASSERT_TRUE(ListFolder(dir.path().string(), items));
    std::vector<std::string> names;
    for (const FolderItem& item : items) {
        EXPECT_EQ(item.path, (dir / item.name).string());
        names.push_back(item.name);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"10.BIN", "A.TXT", "a.txt", "b.txt", "broken",
                                               "folder", "Zed", "_u.bin"}));
    EXPECT_FALSE(ListFolder((dir / "none").string(), items));
    EXPECT_FALSE(ListFolder((dir / "Zed").string(), items));
}

TEST(AtomicSave, ThroughALinkReplacesItsTargetAndRemovesOnlyTemporariesOfKilledSaves) {
    test::TempDir dir;
    test::WriteText(dir / "real" / "p.krv", "old");
    test::WriteText(dir / "real" / ".p.krv.tmp-dead01", "left by a killed save");
    test::WriteText(dir / "real" / ".q.krv.tmp-other", "another project's");
    test::WriteText(dir / "real" / ".p.krv.tmp-live", "a save still running");
    FileLock live;  // what a running save holds on its temporary file
    ASSERT_EQ(
        live.Acquire((dir / "real" / ".p.krv.tmp-live").string(), std::chrono::milliseconds(0)),
        LockResult::Locked);
    fs::create_symlink("real/p.krv", dir / "p.krv");
    std::string reason;
    ASSERT_TRUE(WriteFileAtomically((dir / "p.krv").string(), {'n', 'e', 'w'}, reason)) << reason;
    EXPECT_TRUE(fs::is_symlink(dir / "p.krv"));
    EXPECT_EQ(test::ReadBytes(dir / "p.krv"), (std::vector<uint8_t>{'n', 'e', 'w'}));
    const auto names = [](const fs::path& folder) {
        std::set<std::string> found;
        for (const auto& entry : fs::directory_iterator(folder)) {
            found.insert(entry.path().filename().string());
        }
        return found;
    };
    EXPECT_EQ(names(dir / "real"),
              (std::set<std::string>{".p.krv.tmp-live", ".q.krv.tmp-other", "p.krv"}));
    EXPECT_EQ(names(dir.path()), (std::set<std::string>{"p.krv", "real"}));
}

TEST(FileLock, WaitsForTheHolderAndLocksTheFileASaveRenamedInMeanwhile) {
    using std::chrono::milliseconds;
    test::TempDir dir;
    const std::string path = (dir / "p.krv").string();
    test::WriteText(path, "v1");
    FileLock first;
    ASSERT_EQ(first.Acquire(path, milliseconds(0)), LockResult::Locked);
    FileLock second;
    EXPECT_EQ(second.Acquire(path, milliseconds(50)), LockResult::Busy);
    std::thread saver([&] {
        std::this_thread::sleep_for(milliseconds(100));
        std::string reason;
        WriteFileAtomically(path, {'v', '2'}, reason);
        first.Release();
    });
    EXPECT_EQ(second.Acquire(path, milliseconds(10000)), LockResult::Locked);
    saver.join();
    FileLock third;  // the lock is on the file the path names now
    EXPECT_EQ(third.Acquire(path, milliseconds(0)), LockResult::Busy);
    EXPECT_EQ(third.Acquire((dir / "none.krv").string(), milliseconds(0)), LockResult::NotLocked);
}

// A source on the image's own file system is copied by the kernel; one on
// another (tmpfs) falls back to reading and writing. Either way the copy
// stops where the source ends. Reading into pieces leaves the gaps alone.
TEST(SequentialFile, AppendsFromAnotherFileAndReadsIntoPieces) {
    test::TempDir dir;
    std::vector<uint8_t> bytes(300000);
    std::mt19937 random(3);
    for (uint8_t& b : bytes) b = static_cast<uint8_t>(random());
    for (const fs::path& folder : {dir.path(), fs::path("/dev/shm")}) {
        if (!fs::is_directory(folder)) continue;
        const fs::path source = folder / ("korvalin-source-" + std::to_string(::getpid()));
        test::WriteBytes(source, bytes);
        InputFile in;
        ASSERT_TRUE(in.Open(source.string()));
        OutputFile out;
        ASSERT_TRUE(out.Create((dir / "image").string()));
        const uint8_t head[3] = {1, 2, 3};
        ASSERT_TRUE(out.Write(head, 3));
        bool writeFailed = true;
        EXPECT_EQ(out.AppendFrom(in, 1000, 400000, writeFailed), 299000u) << folder;
        EXPECT_FALSE(writeFailed);
        ASSERT_TRUE(out.Close());
        std::vector<uint8_t> expected(bytes.begin() + 997, bytes.end());
        std::copy(head, head + 3, expected.begin());
        EXPECT_EQ(test::ReadBytes(dir / "image"), expected) << folder;

        std::vector<uint8_t> pieces(3 * 100, 0xEE);
        EXPECT_EQ(in.ReadPiecesAt(299910, pieces.data(), 40, 100, 3), 90u);
        for (size_t i = 0; i < pieces.size(); ++i) {
            const size_t piece = i / 100, within = i % 100, at = piece * 40 + within;
            const uint8_t want = within < 40 && at < 90 ? bytes[299910 + at] : 0xEE;
            ASSERT_EQ(pieces[i], want) << i;
        }
        fs::remove(source);
    }
}

}  // namespace
}  // namespace korvalin
