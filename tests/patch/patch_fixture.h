// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The sample disc compiled to a raw image and a 2048-byte one, for the
// tests that patch images in place.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "image/compile_image.h"
#include "image/sample_disc.h"

namespace korvalin::test {

class PatchFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* name : {"disc.bin", "disc.iso"}) {
            CompileState state;
            state.imagePath = (dir / name).string();
            CompileImage(disc.project, state);
            ASSERT_EQ(state.compileMessage, COMPILE_SUCCESS_MESSAGE) << name;
        }
        original = ReadBytes(dir / "disc.bin");
    }
    std::string Bin() const { return (dir / "disc.bin").string(); }
    std::string Iso() const { return (dir / "disc.iso").string(); }
    int32_t LbaOf(const char* isoPath) const {
        for (size_t i = 0; i < disc.project.fileTable.size(); ++i) {
            if (IsoPathOf(disc.project, static_cast<int32_t>(i)) == isoPath) return disc.project.fileTable[i].lba;
        }
        return -1;
    }

    TempDir dir;
    SampleDisc disc = MakeSampleDisc(dir, false);
    std::vector<uint8_t> original;  // disc.bin as compiled
};

}  // namespace korvalin::test
