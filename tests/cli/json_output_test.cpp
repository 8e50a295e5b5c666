// SPDX-License-Identifier: GPL-3.0-or-later
// --json of each command: one parsable object on standard output with the
// documented keys and types, also when the command fails; --quiet compile.

#include <map>
#include <regex>

#include "cli/cli_runner.h"

namespace korvalin::test {
namespace {

using Json = nlohmann::json;
namespace fs = std::filesystem;

// 's' string, 'n' number, 'b' bool, 'a' array, '?' string or null.
bool HasType(const Json& value, char type) {
    switch (type) {
        case 's': return value.is_string();
        case 'n': return value.is_number();
        case 'b': return value.is_boolean();
        case 'a': return value.is_array();
        case '?': return value.is_string() || value.is_null();
    }
    return false;
}

struct JsonCase {
    std::vector<std::string> args;
    int status;
    std::map<std::string, char> keys;
};

TEST(CliJson, EveryCommandPrintsOneObjectOfItsSchema) {
    test::TempDir dir;
    test::WriteBytes(dir / "A.BIN", std::vector<uint8_t>(5000, 0x11));
    Project project = test::NewProject();
    test::AddFile(project, "A.BIN", 5000, 0, (dir / "A.BIN").string());
    const std::string krv = (dir / "p.krv").string();
    SaveProject(krv, project);
    const std::string image = (dir / "game.bin").string();
    const std::map<std::string, char> compileKeys{
        {"result", '?'}, {"image", '?'}, {"companion", '?'}, {"sectors", 'n'}, {"seconds", 'n'}};
    const std::map<std::string, char> logKeys{
        {"log", 'a'}, {"logErrors", 'n'}, {"logWarnings", 'n'}, {"refused", 'b'}};
    const std::map<std::string, char> dumpKeys{
        {"directories", 'n'}, {"files", 'n'}, {"bytes", 'n'}, {"aliases", 'n'},
        {"filesFolder", 's'}, {"listing", 's'}, {"project", 's'}, {"unrepresented", 'a'}};
    const std::vector<JsonCase> cases = {
        {{"check", krv}, 0, {{"messages", 'a'}, {"warnings", 'a'}, {"missingSources", 'a'}}},
        {{"check", (dir / "none.krv").string()}, 1, {}},
        {{"compile", krv, image}, 0, compileKeys},
        {{"compile", krv, image}, 1, compileKeys},  // exists, no --force
        {{"add", krv, (dir / "missing").string()}, 0, logKeys},
        {{"import", (dir / "none.txt").string(), krv}, 1, logKeys},
        {{"dump", image, (dir / "out").string()}, 0, dumpKeys},
        {{"dump", (dir / "none.bin").string(), (dir / "out2").string()}, 1, {}},
    };
    for (const JsonCase& c : cases) {
        std::vector<std::string> args = c.args;
        args.push_back("--json");
        const auto run = RunCli(args);
        SCOPED_TRACE(args[0] + " " + args[1] + "\n" + run.out + run.err);
        EXPECT_EQ(run.status, c.status);
        ASSERT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 1);
        const Json out = Json::parse(run.out);
        EXPECT_EQ(out.at("ok"), c.status == 0);
        EXPECT_TRUE(out.at("errors").is_array());
        EXPECT_EQ(out.at("errors").empty(), c.status == 0);  // failures say why
        for (const auto& [key, type] : c.keys) EXPECT_TRUE(HasType(out.at(key), type)) << key;
        if (c.keys.count("log") && !out["log"].empty()) {
            EXPECT_TRUE(out["log"][0].at("text").is_string());
            EXPECT_TRUE(out["log"][0].at("warning").is_boolean());
            EXPECT_TRUE(out["refused"].get<bool>());  // a missing file is refused
        }
    }

    const Json listed = LsJson(krv);
    const std::regex iso(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d)");
    for (const char* key : {"date", "dateUtc"}) {
        EXPECT_TRUE(std::regex_match(listed["files"][0].at(key).get<std::string>(), iso)) << key;
    }

    // A .iso has no companion, and --sync does not look for one.
    const auto synced = RunCli({"compile", krv, (dir / "s.iso").string(), "--sync", "--json"});
    EXPECT_EQ(synced.status, 0) << synced.out;
    EXPECT_TRUE(Json::parse(synced.out).at("companion").is_null());

    const auto quiet = RunCli({"compile", "--quiet", krv, (dir / "q.iso").string()});
    EXPECT_EQ(quiet.status, 0);
    EXPECT_EQ(quiet.out + quiet.err, "");
    EXPECT_TRUE(fs::exists(dir / "q.iso"));
}

}  // namespace
}  // namespace korvalin::test
