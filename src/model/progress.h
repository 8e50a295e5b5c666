// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>

namespace korvalin {

// Moves the progress bar of a bulk operation to a position; may be empty.
using ProgressCallback = std::function<void(int32_t position)>;

// Adding from disk and the import show a bar of 0..4096, one step per file.
constexpr int32_t BULK_PROGRESS_RANGE = 4096;

}  // namespace korvalin
