#pragma once
// Assigns every directory and file its LBA, honouring pins.

#include <cstdint>

#include "model/project.h"

namespace korvalin {

// Sectors of `size` bytes, rounded up; sizes count as signed 32-bit values.
int32_t SectorsOf(uint32_t size);

void RecomputeLayout(Project& project);
void ComputePathTableSize(Project& project);
void AssignLbas(Project& project);

}  // namespace korvalin
