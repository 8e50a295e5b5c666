#include "image/sample_disc.h"

#include "layout/recompute_layout.h"

namespace korvalin::test {

std::vector<uint8_t> PatternBytes(size_t size, uint32_t seed) {
    std::vector<uint8_t> bytes(size);
    uint32_t x = seed * 2654435761u + 1;
    for (uint8_t& b : bytes) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        b = static_cast<uint8_t>(x);
    }
    return bytes;
}

namespace {

int32_t AddSourceFile(SampleDisc& disc, const TempDir& folder, const std::string& discDir,
                      const std::string& name, size_t size, int32_t parent) {
    const std::vector<uint8_t> bytes =
        PatternBytes(size, static_cast<uint32_t>(disc.expected.size() + 7));
    const auto source = folder / ("src " + name);  // a blank in every source path
    WriteBytes(source, bytes);
    disc.expected[discDir + "/" + name + ";1"] = bytes;
    return AddFile(disc.project, name, static_cast<uint32_t>(size), parent, source.string());
}

}  // namespace

SampleDisc MakeSampleDisc(const TempDir& folder, bool pinDirectoryAmongFiles) {
    SampleDisc disc;
    disc.project = NewProject();
    Project& p = disc.project;
    // Table order is path-table order: by level, then parent, then name.
    const int32_t data = AddDir(p, "DATA");
    const int32_t empty = AddDir(p, "EMPTY");
    const int32_t sub = AddDir(p, "SUB", data);
    const int32_t deep = AddDir(p, "DEEP", sub);
    if (pinDirectoryAmongFiles) {
        p.dirTable[empty].flags = FLAG_LBA_SET;
        p.dirTable[empty].lba = 45;
    }

    AddSourceFile(disc, folder, "", "SYSTEM.CNF", 60, 0);
    AddSourceFile(disc, folder, "/DATA", "ONE.BIN", 1, data);
    AddSourceFile(disc, folder, "/DATA", "EMPTY.TXT", 0, data);  // shares the next file's LBA
    AddSourceFile(disc, folder, "/DATA/SUB", "TWO.BIN", 2048, sub);
    const int32_t big = AddSourceFile(disc, folder, "/DATA", "BIG.BIN", 50000, data);
    p.fileTable[big].flags = FLAG_LBA_SET;  // leaves a gap of filler before it
    p.fileTable[big].lba = 60;
    AddSourceFile(disc, folder, "/DATA/SUB/DEEP", "THREE.BIN", 2049, deep);

    // A second name for BIG.BIN's data, and reserved sectors inside the gap.
    AddDummy(p, "ALIAS.BIN", 60);
    disc.expected["/ALIAS.BIN;1"] = disc.expected["/DATA/BIG.BIN;1"];
    const int32_t hole = AddDummy(p, "HOLE.BIN", 40, 4096);
    p.fileTable[hole].flags |= FLAG_SIZE_SET;
    disc.expected["/HOLE.BIN;1"] = std::vector<uint8_t>(4096, 0);

    AddSourceFile(disc, folder, "", "TAIL.TXT", 0, 0);  // empty, nothing after it
    RecomputeLayout(p);
    return disc;
}

}  // namespace korvalin::test
