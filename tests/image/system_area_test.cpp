// SPDX-License-Identifier: GPL-3.0-or-later
// The system area: taken from license files and images of every kind, and
// what the compile writes there for each setting, checked by the verifier.

#include "image/system_area_file.h"

#include <gtest/gtest.h>

#include <cstring>

#include "image/compile_image.h"
#include "image/image_verifier.h"
#include "image/sector_encoder.h"
#include "image/system_area_sectors.h"
#include "layout/recompute_layout.h"
#include "test_support.h"

namespace korvalin {
namespace {

using Bytes = std::vector<uint8_t>;

// 16 sectors of 2048 bytes: 0-3 and 12-15 empty, text in 4, a "logo" in 5-11.
Bytes License2048() {
    Bytes data(16 * 2048, 0);
    std::memcpy(&data[4 * 2048], "  Licensed  by  Someone", 23);
    for (size_t i = 5 * 2048; i < 12 * 2048; ++i) data[i] = static_cast<uint8_t>(i * 7 + 3);
    return data;
}

// `bytes` bytes from offset `from` of sectors first..first+count-1 of a raw area.
Bytes Sectors(const Bytes& area, int first, int count, int from, int bytes) {
    Bytes out;
    for (int i = first; i < first + count; ++i) {
        out.insert(out.end(), &area[i * 2352 + from], &area[i * 2352 + from + bytes]);
    }
    return out;
}

// A raw area whose sectors without sync are replaced by empty addressed ones.
Bytes Stamped(Bytes area) {
    for (int i = 0; i < 16; ++i) {
        if (!HasSyncPattern(&area[i * 2352])) MakeEmptyRawSector(i, &area[i * 2352]);
    }
    return area;
}

class SystemArea : public ::testing::Test {
  protected:
    bool LoadFrom(const std::string& name, const Bytes& bytes, Project& project) {
        if (!bytes.empty()) test::WriteBytes(dir / name, bytes);
        return LoadSystemAreaFromFile(project, (dir / name).string(), message);
    }
    // Sectors 0-15 of the image compiled to `name` (the IML variant's .ims);
    // a raw image must pass the verifier.
    Bytes CompileArea(Project& project, const std::string& name, int sectorBytes) {
        RecomputeLayout(project);
        CompileState state;
        state.imagePath = (dir / name).string();
        CompileImage(project, state);
        EXPECT_EQ(state.compileMessage, COMPILE_SUCCESS_MESSAGE);
        if (sectorBytes == 2352) {
            EXPECT_TRUE(VerifyImage(state.imagePath, {}).Sound()) << name;
        }
        const Bytes image = test::ReadBytes(state.imagePath);
        return Bytes(image.begin(), image.begin() + 16 * sectorBytes);
    }
    test::TempDir dir;
    std::string message;
};

TEST_F(SystemArea, LicenseFilesAndImagesOfEveryKindGiveTheSameSectors) {
    Project license = test::NewProject();
    ASSERT_TRUE(LoadFrom("license.dat", License2048(), license)) << message;
    EXPECT_TRUE(license.settings.keepSystemArea);
    const Bytes& area = license.systemArea;
    // Data sectors became addressed Form 1 sectors; empty ones stayed zero.
    EXPECT_EQ(Sectors(area, 4, 1, 0, 24),
              test::Hex("00 FF FF FF FF FF FF FF FF FF FF 00  00 02 04 02  00 00 08 00 00 00 08 00"));
    EXPECT_EQ(Sectors(area, 0, 4, 0, 2352), Bytes(4 * 2352, 0));
    EXPECT_EQ(Sectors(area, 12, 4, 0, 2352), Bytes(4 * 2352, 0));
    EXPECT_EQ(Sectors(area, 0, 16, 24, 2048), License2048());

    Bytes after12 = Sectors(area, 0, 12, 0, 2352);
    after12.resize(16 * 2352);
    for (int i = 12; i < 16; ++i) MakeEmptyRawSector(i, &after12[i * 2352]);
    // A disc compiled with the license kept gives it back from each variant.
    CompileArea(license, "disc.bin", 2352);
    CompileArea(license, "disc.iso", 2048);
    test::WriteText(dir / "disc.cue", "REM made by hand\r\nFILE \"disc.bin\" BINARY\r\n");
    const std::tuple<const char*, Bytes, Bytes> cases[] = {
        {"raw16.lic", area, area},
        {"form2.lic", Sectors(area, 0, 16, 16, 2336), area},
        {"raw12.lic", Sectors(area, 0, 12, 0, 2352), after12},
        {"disc.bin", {}, area},
        {"disc.iso", {}, area},
        {"disc.cue", {}, area},
    };
    for (const auto& [name, file, expected] : cases) {
        Project project = test::NewProject();
        ASSERT_TRUE(LoadFrom(name, file, project)) << message;
        EXPECT_EQ(project.systemArea, expected) << name;
    }
}

TEST_F(SystemArea, FilesThatAreNeitherImageNorLicenseAreRefusedByName) {
    Bytes raw(16 * 2352, 0);
    raw[3 * 2352 + 100] = 1;  // no sync, not empty
    test::WriteBytes(dir / "lic.bin", Bytes(16 * 2048, 0));
    test::WriteText(dir / "lic.cue", "FILE lic.bin BINARY\n");  // a cue names a disc image
    test::WriteText(dir / "empty.cue", "REM nothing here\n");
    const std::tuple<const char*, Bytes, const char*> cases[] = {
        {"bad.lic", raw, "bad.lic\": sector 3 is neither empty nor a Mode 2 sector"},
        {"lic.cue", {}, "lic.bin\" (32768 bytes) is neither a disc image"},
        {"empty.cue", {}, "empty.cue\": no FILE line names the image"},
        {"missing.lic", {}, "Cannot read \""},
    };
    for (const auto& [name, bytes, expected] : cases) {
        Project project = test::NewProject();
        EXPECT_FALSE(LoadFrom(name, bytes, project));
        EXPECT_NE(message.find(expected), std::string::npos) << message;
        EXPECT_EQ(project.systemArea, Bytes(37632, 0));
        EXPECT_FALSE(project.settings.keepSystemArea);
    }
}

TEST_F(SystemArea, TheCompileWritesWhatTheSettingsSay) {
    Project license = test::NewProject();
    ASSERT_TRUE(LoadFrom("license.dat", License2048(), license)) << message;
    const Bytes area = license.systemArea;
    const Bytes zero(16 * 2352, 0);
    const Bytes zeroPlain(16 * 2048, 0);
    const Bytes stamped = Stamped(zero);
    EXPECT_EQ(Sectors(stamped, 15, 1, 0, 17),
              test::Hex("00 FF FF FF FF FF FF FF FF FF FF 00  00 02 15 02  00"));
    // Without keeping, sectors with sync keep their headers over cleared data.
    Bytes cleared = area;
    for (int i = 0; i < 16; ++i) {
        std::fill_n(cleared.begin() + i * 2352 + 24, 2048, 0);
        SectorEncoder().EncodeSector(&cleared[i * 2352]);
    }
    // {keep, stamp, the license in the project, raw sectors 0-15, 2048-byte sectors 0-15}
    const std::tuple<bool, bool, bool, Bytes, Bytes> cases[] = {
        {false, false, false, zero, zeroPlain},
        {false, true, false, stamped, zeroPlain},
        {true, true, false, stamped, zeroPlain},
        {false, false, true, cleared, zeroPlain},
        {false, true, true, Stamped(cleared), zeroPlain},
        {true, false, true, area, License2048()},
        {true, true, true, Stamped(area), License2048()},
    };
    for (const auto& [keep, stamp, withLicense, raw, plain] : cases) {
        Project project = test::NewProject();
        if (withLicense) project.systemArea = area;
        project.settings = {keep, stamp};
        EXPECT_EQ(CompileArea(project, "k.bin", 2352), raw) << keep << stamp << withLicense;
        EXPECT_EQ(CompileArea(project, withLicense ? "k.iml" : "k.iso", 2048), plain);
        EXPECT_EQ(project.systemArea, withLicense ? area : zero);  // compiled from a copy
    }
}

}  // namespace
}  // namespace korvalin
