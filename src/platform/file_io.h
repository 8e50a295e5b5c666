#pragma once
// Whole-file reads and crash-safe whole-file writes.

#include <cstdint>
#include <string>
#include <vector>

namespace korvalin {

// Reads the whole file. On failure returns false and a reason
// (the system's text, e.g. "No such file or directory").
bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes, std::string& reason);

// Writes to a temporary file in the same folder, flushes it and renames it
// over `path`, so that a failure never leaves a damaged file behind.
bool WriteFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes,
                         std::string& reason);

}  // namespace korvalin
