// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The primary volume descriptor and the descriptor set terminator.

#include <cstdint>

#include "model/project.h"

namespace korvalin {

constexpr int32_t VOLUME_DESCRIPTOR_BYTES = 2048;

// Fills a zeroed 2048-byte buffer from the project and its last layout.
// Pads the volume label in the model with spaces up to 32 characters, which
// stay there (they are saved with the project and shown by the editor).
void BuildPrimaryVolumeDescriptor(Project& project, uint8_t* buffer);

// Fills a zeroed 2048-byte buffer: 0xFF, "CD001", version 1, zeros.
void BuildVolumeDescriptorTerminator(uint8_t* buffer);

// The first data LBA, where the volume descriptor says the root lies.
int32_t FirstDataLba(const LayoutState& layout);

}  // namespace korvalin
