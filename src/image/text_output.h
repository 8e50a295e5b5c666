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
    // Writes `text` with every "\n" as "\r\n". Errors go unnoticed.
    void Print(const std::string& text);
    void Close();

private:
    std::FILE* file_ = nullptr;
};

}  // namespace korvalin
