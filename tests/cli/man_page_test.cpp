// SPDX-License-Identifier: GPL-3.0-or-later
// The manual page lists every subcommand, operand and option that --help
// lists, and no option that is gone; groff reads it without a warning.

#include <map>
#include <regex>
#include <set>

#include "cli/cli_runner.h"

namespace korvalin::test {
namespace {

using Names = std::set<std::string>;

constexpr const char* PAGE_SOURCE = "src/cli/korvalin.1.in";

// The lines of a --help section ("Options:", "Positionals:", ...) up to the next one.
std::vector<std::string> HelpSection(const std::string& help, const std::string& heading) {
    std::vector<std::string> lines;
    std::istringstream in(help);
    bool inside = false;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line[0] != ' ') {
            inside = line == heading;
        } else if (inside) {
            lines.push_back(line);
        }
    }
    return lines;
}

Names Matches(const std::string& text, const std::regex& pattern, size_t group = 0) {
    Names found;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), pattern);
         it != std::sregex_iterator(); ++it) {
        found.insert((*it)[group].str());
    }
    return found;
}

const std::regex LONG_OPTION(R"(--[a-z][a-z-]*)");
const std::regex HELP_ITEM(R"(^  ([A-Za-z][A-Za-z_-]*))");

Names FirstWords(const std::vector<std::string>& lines) {
    Names words;
    for (const std::string& line : lines) {
        for (const std::string& word : Matches(line, HELP_ITEM, 1)) words.insert(word);
    }
    return words;
}

// What "korvalin SUB --help" lists: its operands and long options.
struct HelpOfCommand {
    Names operands;
    Names options;
};

HelpOfCommand ReadHelp(const std::string& subcommand) {
    const std::string help = RunCli({subcommand, "--help"}).out;
    HelpOfCommand result{FirstWords(HelpSection(help, "Positionals:")), {}};
    for (const std::string& line : HelpSection(help, "Options:")) {
        for (const std::string& option : Matches(line, LONG_OPTION)) result.options.insert(option);
    }
    result.options.erase("--help");
    return result;
}

// The page's text per ".SS "korvalin SUB ..."" section, roff escapes undone.
std::map<std::string, std::string> PageSections(const std::string& page) {
    std::map<std::string, std::string> sections;
    std::string* current = nullptr;
    std::istringstream in(std::regex_replace(
        std::regex_replace(page, std::regex(R"(\\f[BIPR])"), ""), std::regex(R"(\\-)"), "-"));
    const std::regex heading(R"re(^\.SS "korvalin ([a-z-]+))re");
    for (std::string line; std::getline(in, line);) {
        std::smatch match;
        if (std::regex_search(line, match, heading)) {
            current = &sections[match[1].str()];
        } else if (line.rfind(".SH", 0) == 0 || line.rfind(".SS", 0) == 0) {
            current = nullptr;
        }
        if (current != nullptr) *current += line + "\n";
    }
    return sections;
}

TEST(ManPage, ListsWhatEachSubcommandsHelpLists) {
    const std::string page = ReadText(KORVALIN_MAN_PAGE);
    ASSERT_FALSE(page.empty()) << KORVALIN_MAN_PAGE;
    std::map<std::string, std::string> sections = PageSections(page);
    const Names subcommands =
        FirstWords(HelpSection(RunCli({"--help"}).out, "Subcommands:"));
    ASSERT_GT(subcommands.size(), 10u);
    for (const std::string& sub : subcommands) {
        if (sections.count(sub) == 0) {
            ADD_FAILURE() << "korvalin " << sub << " has no section .SS \"korvalin " << sub
                          << " ...\" in " << PAGE_SOURCE;
            continue;
        }
        const std::string& section = sections[sub];
        const HelpOfCommand help = ReadHelp(sub);
        const Names listed = Matches(section, LONG_OPTION);
        for (const std::string& option : help.options) {
            EXPECT_TRUE(listed.count(option)) << "korvalin " << sub << " " << option
                                              << " is missing from its section in " << PAGE_SOURCE;
        }
        for (const std::string& option : listed) {
            EXPECT_TRUE(help.options.count(option))
                << PAGE_SOURCE << " lists korvalin " << sub << " " << option
                << ", which korvalin " << sub << " --help does not";
        }
        const std::string heading = section.substr(0, section.find('\n'));
        for (const std::string& operand : help.operands) {
            EXPECT_TRUE(std::regex_search(heading, std::regex("\\b" + operand + "\\b")))
                << "korvalin " << sub << "'s operand " << operand << " is missing from the heading "
                << heading << " in " << PAGE_SOURCE;
        }
        sections.erase(sub);
    }
    for (const auto& [sub, text] : sections) {
        ADD_FAILURE() << PAGE_SOURCE << " has a section for korvalin " << sub
                      << ", which korvalin --help does not list";
    }
    EXPECT_NE(page.find(".SH EXIT STATUS"), std::string::npos);
    EXPECT_NE(page.find(".SH EXAMPLES"), std::string::npos);
    EXPECT_EQ(page.find('@'), std::string::npos) << "a @VARIABLE@ left in " << KORVALIN_MAN_PAGE;
}

TEST(ManPage, GroffReadsEveryPageWithoutWarnings) {
    const std::filesystem::path folder = std::filesystem::path(KORVALIN_MAN_PAGE).parent_path();
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::string page = entry.path().string();
        test::TempDir dir;
        const std::string command = "groff -man -Tutf8 -ww -z " + test::ShellQuote(page) +
                                    " 2>" + test::ShellQuote((dir / "warnings").string());
        EXPECT_EQ(std::system(command.c_str()), 0) << page;
        EXPECT_EQ(ReadText((dir / "warnings").string()), "") << page;
    }
}

}  // namespace
}  // namespace korvalin::test
