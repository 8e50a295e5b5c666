// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The compile's side of the kept sectors (model/kept_sectors.h): a kept
// sector replaces the one generated at its LBA while the generated one is
// still what the dump compared against; the sectors past the volume's end
// follow while the layout still ends where the dumped one did.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "image/compile_state.h"
#include "model/project.h"

namespace korvalin {

// Sets state.keptSectors (after the image variant is chosen): nothing when
// the project keeps none or the image's sector size is not the kept one.
// False with compileMessage set when the side file is missing or changed.
bool LoadKeptSectorsForCompile(const Project& project, CompileState& state);

// Over `count` finished sectors from `firstLba` at `bytes`.
void RestoreKeptSectors(const KeptSectors& kept, int32_t firstLba, int32_t count, uint8_t* bytes,
                        size_t sectorBytes);

// Appends the kept sectors past the layout's end (none unless the layout
// ends where the dumped one did); false once the image has failed.
bool AppendTrailingKeptSectors(CompileState& state);

// A hash of everything the structure sectors are written from: volume,
// system area, settings, every entry's record fields and the layout.
uint64_t TreeHashOf(const Project& project);

// For the pre-compile check: the side file is there and unchanged.
std::vector<std::string> CheckKeptSectors(const Project& project);

}  // namespace korvalin
