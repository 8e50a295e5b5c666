// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/processor_count.h"

#include <sched.h>

#include <thread>

namespace korvalin {

unsigned UsableProcessorCount() {
    cpu_set_t set;
    CPU_ZERO(&set);
    if (::sched_getaffinity(0, sizeof set, &set) == 0) {
        const int count = CPU_COUNT(&set);
        if (count > 0) return static_cast<unsigned>(count);
    }
    const unsigned machine = std::thread::hardware_concurrency();
    return machine > 0 ? machine : 1;
}

}  // namespace korvalin
