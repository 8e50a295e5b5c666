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
constexpr char LICENSE_TEXT[] = "          Licensed  by          Korvalin Test Entertainment";

// 16 sectors of 2048 bytes: 0-3 and 12-15 empty, text in 4, a "logo" in 5-11.
Bytes License2048() {
    Bytes data(16 * 2048, 0);
    std::memcpy(&data[4 * 2048], LICENSE_TEXT, sizeof LICENSE_TEXT - 1);
    for (size_t i = 5 * 2048; i < 12 * 2048; ++i) data[i] = static_cast<uint8_t>(i * 7 + 3);
    return data;
}

Bytes Sectors(const Bytes& area, int first, int count, int from, int bytes) {
    Bytes out;
    for (int i = first; i < first + count; ++i) {
        const auto* s = area.data() + i * 2352 + from;
        out.insert(out.end(), s, s + bytes);
    }
    return out;
}

Bytes EmptySector(int32_t lba) {
    Bytes sector(2352);
    MakeEmptyRawSector(lba, sector.data());
    return sector;
}

class SystemArea : public ::testing::Test {
  protected:
    // Loads `bytes` written to `name` into a new project.
    bool LoadFrom(const std::string& name, const Bytes& bytes, Project& project) {
        test::WriteBytes(dir / name, bytes);
        return LoadSystemAreaFromFile(project, (dir / name).string(), message);
    }
    // Sectors 0-15 of the image compiled to `name` (the IML variant's .ims).
    Bytes CompileArea(Project& project, const std::string& name, int sectorBytes) {
        RecomputeLayout(project);
        CompileState state;
        state.imagePath = (dir / name).string();
        CompileImage(project, state);
        EXPECT_EQ(state.compileMessage, COMPILE_SUCCESS_MESSAGE);
        if (sectorBytes == 2352) {
            const VerifyReport report = VerifyImage(state.imagePath, VerifyOptions{});
            EXPECT_TRUE(report.Sound()) << name << ": " << report.problems.front().text;
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

    const Bytes empty12 = [] {
        Bytes s;
        for (int i = 12; i < 16; ++i) {
            const Bytes e = EmptySector(i);
            s.insert(s.end(), e.begin(), e.end());
        }
        return s;
    }();
    const std::tuple<const char*, Bytes, Bytes> cases[] = {
        {"raw16.lic", area, area},
        {"form2.lic", Sectors(area, 0, 16, 16, 2336), area},
        {"raw12.lic", Sectors(area, 0, 12, 0, 2352), [&] {
             Bytes a = Sectors(area, 0, 12, 0, 2352);
             a.insert(a.end(), empty12.begin(), empty12.end());
             return a;
         }()},
    };
    for (const auto& [name, file, expected] : cases) {
        Project project = test::NewProject();
        ASSERT_TRUE(LoadFrom(name, file, project)) << message;
        EXPECT_EQ(project.systemArea, expected) << name;
        EXPECT_NE(message.find("a license file"), std::string::npos) << message;
    }

    // A disc compiled with the license kept gives it back from each variant.
    CompileArea(license, "disc.bin", 2352);
    CompileArea(license, "disc.iso", 2048);
    test::WriteText(dir / "disc.cue", "REM made by hand\r\nFILE \"disc.bin\" BINARY\r\n");
    for (const char* name : {"disc.bin", "disc.iso", "disc.cue"}) {
        Project project = test::NewProject();
        ASSERT_TRUE(LoadSystemAreaFromFile(project, (dir / name).string(), message)) << message;
        EXPECT_EQ(project.systemArea, area) << name;
    }

    const std::string shown = DescribeSystemArea(license);
    for (const char* line : {"System area: 8 of 16 sectors hold data",
                             "Sync and header: 8 of 16 sectors (8 with the address of their LBA)",
                             "License text: Licensed by Korvalin Test Entertainment\n",
                             "Keep system-area data: on", "Stamp empty system area: off"}) {
        EXPECT_NE(shown.find(line), std::string::npos) << shown;
    }
    ClearSystemArea(license);
    EXPECT_NE(DescribeSystemArea(license).find("System area: all zero\n"), std::string::npos);
    EXPECT_NE(DescribeSystemArea(license).find("License text: none"), std::string::npos);
}

TEST_F(SystemArea, FilesThatAreNeitherImageNorLicenseAreRefusedByName) {
    Bytes raw(16 * 2352, 0);
    raw[3 * 2352 + 100] = 1;  // no sync, not empty
    test::WriteText(dir / "empty.cue", "REM nothing here\n");
    test::WriteBytes(dir / "lic.bin", Bytes(16 * 2048, 0));
    test::WriteText(dir / "lic.cue", "FILE lic.bin BINARY\n");  // a cue names a disc image
    const std::tuple<const char*, Bytes, std::string> cases[] = {
        {"short.bin", Bytes(1000, 1), "short.bin\" (1000 bytes) is neither a disc image"},
        {"bad.lic", raw, "bad.lic\": sector 3 is neither empty nor a Mode 2 sector"},
    };
    for (const auto& [name, bytes, expected] : cases) {
        Project project = test::NewProject();
        EXPECT_FALSE(LoadFrom(name, bytes, project));
        EXPECT_NE(message.find(expected), std::string::npos) << message;
        EXPECT_EQ(project.systemArea, Bytes(37632, 0));
        EXPECT_FALSE(project.settings.keepSystemArea);
    }
    for (const auto& [name, expected] :
         {std::pair{"empty.cue", "empty.cue\": no FILE line names the image"},
          std::pair{"lic.cue", "lic.bin\" (32768 bytes) is neither"},
          std::pair{"missing.lic", "Cannot read \""}}) {
        Project project = test::NewProject();
        EXPECT_FALSE(LoadSystemAreaFromFile(project, (dir / name).string(), message));
        EXPECT_NE(message.find(expected), std::string::npos) << message;
    }
}

TEST_F(SystemArea, TheCompileWritesWhatTheSettingsSay) {
    Project license = test::NewProject();
    ASSERT_TRUE(LoadFrom("license.dat", License2048(), license)) << message;
    const Bytes area = license.systemArea;
    Bytes stamped;
    for (int i = 0; i < 16; ++i) {
        const Bytes e = EmptySector(i);
        stamped.insert(stamped.end(), e.begin(), e.end());
    }
    EXPECT_EQ(Bytes(stamped.begin() + 15 * 2352, stamped.begin() + 15 * 2352 + 16),
              test::Hex("00 FF FF FF FF FF FF FF FF FF FF 00  00 02 15 02"));

    // Without keeping, sectors with sync keep their headers over cleared data.
    Bytes cleared = area;
    for (int i = 0; i < 16; ++i) {
        std::fill_n(cleared.begin() + i * 2352 + 24, 2048, 0);
        SectorEncoder().EncodeSector(cleared.data() + i * 2352);
    }
    // Stamping fills in only the sectors that would have no sync.
    auto withStamps = [&](Bytes bytes) {
        for (int i = 0; i < 16; ++i) {
            if (!HasSyncPattern(&bytes[i * 2352])) {
                std::copy_n(stamped.begin() + i * 2352, 2352, bytes.begin() + i * 2352);
            }
        }
        return bytes;
    };
    const Bytes zero(16 * 2352, 0);
    const Bytes zeroPlain(16 * 2048, 0);
    // {keep, stamp, the license in the project, raw sectors 0-15, 2048-byte sectors 0-15}
    const std::tuple<bool, bool, bool, Bytes, Bytes> cases[] = {
        {false, false, false, zero, zeroPlain},
        {false, true, false, stamped, zeroPlain},
        {true, true, false, stamped, zeroPlain},
        {false, false, true, cleared, zeroPlain},
        {false, true, true, withStamps(cleared), zeroPlain},
        {true, false, true, area, License2048()},
        {true, true, true, withStamps(area), License2048()},
    };
    for (const auto& [keep, stamp, withLicense, raw, plain] : cases) {
        Project project = test::NewProject();
        if (withLicense) project.systemArea = area;
        project.settings = {keep, stamp};
        EXPECT_EQ(CompileArea(project, "k.bin", 2352), raw) << keep << stamp << withLicense;
        EXPECT_EQ(CompileArea(project, withLicense ? "k.iml" : "k.iso", 2048), plain);
        EXPECT_EQ(project.systemArea, withLicense ? area : zero);
    }
}

}  // namespace
}  // namespace korvalin
