// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Assigns every directory and file its LBA, honouring pins.

#include <cstdint>

#include "model/project.h"

namespace korvalin {

// Sectors of `size` bytes, rounded up; sizes count as signed 32-bit values.
int32_t SectorsOf(uint32_t size);
// Sectors a file's data fill: none for an empty file, nor for one of 2 GiB
// or more (its size reads as negative).
int32_t DataSectorsOf(uint32_t size);
// Directories always hold data; a file's extent only when it is not empty.
bool ExtentHoldsData(const Project& project, const Extent& extent);

void RecomputeLayout(Project& project);
void ComputePathTableSize(Project& project);
void AssignLbas(Project& project);

// The same with another bookkeeping of taken sectors (it must start empty):
// the tests compare the search tree with the plain rescanning scan.
class TakenSectors;
void RecomputeLayout(Project& project, TakenSectors& taken);
void AssignLbas(Project& project, TakenSectors& taken);

}  // namespace korvalin
