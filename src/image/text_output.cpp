// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/text_output.h"

namespace korvalin {

bool CrLfTextFile::Create(const std::string& path) {
    Close();
    file_ = std::fopen(path.c_str(), "wb");
    failed_ = false;
    return file_ != nullptr;
}

void CrLfTextFile::Print(const std::string& text) {
    if (file_ == nullptr) return;
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    if (std::fwrite(out.data(), 1, out.size(), file_) != out.size()) failed_ = true;
}

bool CrLfTextFile::Close() {
    if (file_ == nullptr) return !failed_;
    if (std::fclose(file_) != 0) failed_ = true;
    file_ = nullptr;
    return !failed_;
}

}  // namespace korvalin
