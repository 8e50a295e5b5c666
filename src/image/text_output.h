// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The companion text files (cue sheet, IML file) are written with CR LF line
// ends, as text mode writes them on the system these files are read on.

#include <cstdio>
#include <string>

namespace korvalin {

class CrLfTextFile {
public:
    CrLfTextFile() = default;
    ~CrLfTextFile() { Close(); }
    CrLfTextFile(const CrLfTextFile&) = delete;
    CrLfTextFile& operator=(const CrLfTextFile&) = delete;

    // Creates or replaces the file.
    bool Create(const std::string& path);
    // Writes `text` with every "\n" as "\r\n".
    void Print(const std::string& text);
    // True when every byte printed since Create reached the file (a full
    // disk shows only here, when the buffer is written out).
    bool Close();

private:
    std::FILE* file_ = nullptr;
    bool failed_ = false;
};

}  // namespace korvalin
