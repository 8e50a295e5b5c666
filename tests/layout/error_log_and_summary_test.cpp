// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "layout/error_log.h"
#include "layout/project_summary.h"
#include "test_support.h"

namespace korvalin {
namespace {

TEST(ErrorLog, KeepsNinetyNineLinesThenTheOverflowNoticeAndMarksWarnings) {
    for (int added : {99, 100, 150}) {
        ErrorLog log;
        for (int i = 0; i < added; ++i) log.AddMessage("line " + std::to_string(i));
        const auto rows = ErrorLogRows(log);
        EXPECT_EQ(rows.size(), added == 99 ? 3u + 99u : 3u + 100u) << added;
        EXPECT_EQ(rows[3 + 98].text, "line 98");
        EXPECT_EQ(rows.back().text,
                  added == 99 ? "line 98" : "over 100 errors have been produced!!");
    }
    // "*" alone is an empty warning row; the marker goes, long lines are cut.
    ErrorLog log;
    for (const std::string line : {"*", "* Directory name already exists: \\A", "ERROR: x "}) {
        log.AddMessage(line);
    }
    log.AddMessage(std::string(2000, 'x'));
    const auto rows = ErrorLogRows(log);
    ASSERT_EQ(rows.size(), 7u);
    EXPECT_EQ(rows[3].text, "");
    EXPECT_EQ(rows[3].icon, ErrorLogIcon::Warning);
    EXPECT_EQ(rows[4].text, " Directory name already exists: \\A");
    EXPECT_EQ(rows[5].icon, ErrorLogIcon::Error);
    EXPECT_EQ(rows[6].text.size(), 1023u);
}

TEST(ProjectSummary, ShowsTimeSizeAndCounts) {
    Project project = test::NewProject();
    const std::pair<int32_t, const char*> cases[] = {
        {0, "Time: 00:02   TOC: 0KB/ LBA:0  Files:0 Folders:1 "},
        {4350, "Time: 01:00   TOC: 9991KB/ LBA:4350  Files:0 Folders:1 "},
        {333000, "Time: 74:02   TOC: 764859KB/ LBA:333000  Files:0 Folders:1 "},
    };
    for (const auto& [sectors, text] : cases) {
        project.layoutState.totalSectors = sectors;
        EXPECT_EQ(ProjectSummary(project), text);
    }
}

}  // namespace
}  // namespace korvalin
