// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How many processors this process may run on.

namespace korvalin {

// The processors of the process's affinity mask (taskset, cgroups pinning);
// the machine's count when that cannot be read; at least 1.
unsigned UsableProcessorCount();

}  // namespace korvalin
