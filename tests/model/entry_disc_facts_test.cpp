// SPDX-License-Identifier: GPL-3.0-or-later
// A dumped disc's exact metadata in the project file's extension block, and
// the rule by which a kept date gives way to an edited one.

#include <gtest/gtest.h>

#include "model/extension_disc_facts.h"
#include "model/project_extension.h"
#include "model/project_archive.h"
#include "test_support.h"

namespace korvalin {
namespace {

using Bytes = std::vector<uint8_t>;

using test::Load;
using test::Store;

// Root, SUB and A.BIN in SUB, with every kind of fact and two volume fields.
Project ProjectWithFacts() {
    Project project = test::NewProject();
    const int32_t sub = test::AddDir(project, "SUB");
    test::AddFile(project, "A.BIN", 100, sub);
    EntryDiscFacts& root = project.dirTable[0].discFacts;
    root.date = RecordDateBytes{124, 6, 5, 11, 20, 31, 0};
    root.selfDate = RecordDateBytes{124, 6, 5, 11, 20, 31, 0xF0};
    project.dirTable[1].discFacts.extentSize = 3 * 2048;
    project.dirTable[1].discFacts.parentDate = RecordDateBytes{99, 1, 2, 3, 4, 5, 6};
    EntryDiscFacts& file = project.fileTable[0].discFacts;
    file.date = RecordDateBytes{99, 12, 31, 23, 59, 59, 0xEC};
    file.dosDate = 0x1234;
    file.dosTime = 0x5678;
    file.xaField = XaFieldBytes{0, 1, 0, 2, 0x0D, 0x55, 'X', 'A', 7, 0, 0, 0, 0, 0};
    file.fileFlags = 0x01;
    project.volumeTexts.fields[VOLUME_PUBLISHER_ID] = Bytes(128, 'P');
    project.volumeTexts.fields[VOLUME_MODIFICATION_DATE] = Bytes(17, '1');
    project.volumeTexts.datedWith = "2024060511203000";
    return project;
}

TEST(EntryDiscFacts, FactsAndTextsRoundTripThroughTheExtensionBlock) {
    Project project = ProjectWithFacts();
    const Bytes bytes = Store(project);
    std::vector<ExtensionRecord> records;
    AppendEntryFactRecords(project, records);
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[2].flags, EXTENSION_RECORD_REQUIRED);
    // The file's entry: id 4096, facts 0x07, date and DOS words, CD-XA field, flags.
    EXPECT_EQ(records[2].payload, test::Hex("00 10 00 00  07 00  63 0C 1F 17 3B 3B EC  34 12 78 56"
                                            "  00 01 00 02 0D 55 58 41 07 00 00 00 00 00  01"));
    EXPECT_EQ(records[1].payload, test::Hex("01 00 00 00  28 00  00 18 00 00  63 01 02 03 04 05 06"));

    Project loaded = test::NewProject();
    ASSERT_EQ(Load(bytes, loaded), 0);
    for (int32_t d = 0; d < 2; ++d) EXPECT_EQ(loaded.dirTable[d].discFacts, project.dirTable[d].discFacts);
    EXPECT_EQ(loaded.fileTable[0].discFacts, project.fileTable[0].discFacts);
    EXPECT_EQ(loaded.volumeTexts, project.volumeTexts);
    EXPECT_EQ(Store(loaded), bytes);

    // Without facts the project saves in the plain format again.
    for (DirEntry& d : loaded.dirTable) d.discFacts = {};
    loaded.fileTable[0].discFacts = {};
    loaded.volumeTexts = {};
    // The block: a 16-byte header, records of 32, 25, 40 and 171 bytes.
    const Bytes plain = Store(loaded);
    EXPECT_EQ(plain.size(), bytes.size() - 284);
    EXPECT_EQ(Bytes(plain.begin() + 28, plain.begin() + 40), Bytes(12, 0));
}

TEST(EntryDiscFacts, DamagedRecordsAreRefused) {
    Project project = ProjectWithFacts();
    std::vector<ExtensionRecord> records;
    AppendEntryFactRecords(project, records);
    ExtensionRecord volume;
    ASSERT_TRUE(EncodeVolumeTexts(project, volume));
    records.push_back(volume);
    std::string problem;
    for (const ExtensionRecord& good : records) {
        for (size_t length = 0; length < good.payload.size(); ++length) {
            ExtensionRecord cut = good;
            cut.payload.resize(length);
            Project loaded = test::NewProject();
            test::AddFile(loaded, "A.BIN", 1, test::AddDir(loaded, "SUB"));
            const bool taken = good.tag == TAG_VOLUME_TEXTS ? DecodeVolumeTexts(cut, loaded, problem)
                                                            : DecodeEntryFacts(cut, loaded, problem);
            EXPECT_FALSE(taken) << length;
        }
    }
    // Entry ids, facts bits and sizes that cannot be taken (the project has
    // the root, SUB and A.BIN, each with facts already but for SUB).
    Project loaded = ProjectWithFacts();
    loaded.dirTable[1].discFacts = {};
    const std::pair<Bytes, const char*> cases[] = {
        {test::Hex("07 00 00 00  04 00 01"), "names entry 7, which it has not"},
        {test::Hex("00 10 00 00  04 00 01"), "names entry 4096 a second time"},
        {test::Hex("01 00 00 00  40 00"), "facts 0x0040"},
        {test::Hex("01 00 00 00  00 00"), "facts 0x0000"},
        {test::Hex("01 00 00 00  08 00 00 00 00 00"), "extent size of 0 bytes"},
        {test::Hex("01 00 00 00  08 00 00 00 00 02"), "extent size of 33554432 bytes"},
    };
    for (const auto& [payload, expected] : cases) {
        EXPECT_FALSE(DecodeEntryFacts({TAG_ENTRY_DISC_FACTS, 1, payload}, loaded, problem)) << expected;
        EXPECT_NE(problem.find(expected), std::string::npos) << problem;
    }
    loaded.fileTable[0].discFacts = {};
    EXPECT_FALSE(DecodeEntryFacts({TAG_ENTRY_DISC_FACTS, 1, test::Hex("00 10 00 00  08 00 00 08 00 00")}, loaded,
                                  problem));
    EXPECT_NE(problem.find("gives the file entry 4096 a directory's facts"), std::string::npos) << problem;
    // What a later version adds after the fields is passed over.
    ASSERT_TRUE(DecodeEntryFacts({TAG_ENTRY_DISC_FACTS, 1, test::Hex("01 00 00 00  04 00 01 FF")}, loaded, problem));
    EXPECT_EQ(loaded.dirTable[1].discFacts.fileFlags, 1);
    ExtensionRecord noFields = volume;
    noFields.payload.resize(18);
    noFields.payload[16] = noFields.payload[17] = 0;
    EXPECT_FALSE(DecodeVolumeTexts(noFields, project, problem));
}

TEST(EntryDiscFacts, AnExactDateGoesWithItsDosWordsUntilTheyAreEdited) {
    EntryRecord entry;
    EntryDiscFacts& facts = entry.discFacts;
    // Odd seconds and another GMT offset are kept; the DOS words follow.
    ASSERT_TRUE(SetExactDate(facts, entry.dosDate, entry.dosTime, {2001, 2, 3, 4, 5, 7}, -20));
    EXPECT_EQ(*KeptDate(facts, entry.dosDate, entry.dosTime), (RecordDateBytes{101, 2, 3, 4, 5, 7, 0xEC}));
    EXPECT_EQ(UnpackDos(entry.dosDate, entry.dosTime), (CalendarTime{2001, 2, 3, 3, 5, 6}));
    EXPECT_EQ(KeptDate(facts, entry.dosDate, static_cast<uint16_t>(entry.dosTime + 1)), nullptr);
    // A date the DOS words give anyway keeps nothing; hour 0 goes to the day before.
    ASSERT_TRUE(SetExactDate(facts, entry.dosDate, entry.dosTime, {2001, 2, 3, 0, 5, 6}, DERIVED_GMT_OFFSET));
    EXPECT_TRUE(facts.Empty());
    EXPECT_EQ(UnpackDos(entry.dosDate, entry.dosTime), (CalendarTime{2001, 2, 2, 23, 5, 6}));
    for (const CalendarTime& wrong : {CalendarTime{1979, 1, 1}, CalendarTime{2001, 13, 1}, CalendarTime{2001, 1, 1, 24}}) {
        EXPECT_FALSE(SetExactDate(facts, entry.dosDate, entry.dosTime, wrong, 0));
    }
    EXPECT_FALSE(SetExactDate(facts, entry.dosDate, entry.dosTime, {2001, 1, 1, 1}, 53));
    EXPECT_TRUE(facts.Empty());
}

}  // namespace
}  // namespace korvalin
