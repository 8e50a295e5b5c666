// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The lines a bulk operation (adding from disk, the import) reports.

#include <cstdint>
#include <string>
#include <vector>

namespace korvalin {

constexpr int32_t ERROR_LOG_CAPACITY = 100;
constexpr size_t ERROR_LOG_LINE_MAX = 1023;
constexpr char ERROR_LOG_OVERFLOW[] = "over 100 errors have been produced!!";

class ErrorLog {
public:
    // Keeps 99 lines, then the overflow notice in the hundredth slot; later
    // lines are dropped. Lines are cut at 1023 characters.
    void AddMessage(const std::string& text);
    int32_t count() const { return static_cast<int32_t>(lines_.size()); }
    const std::vector<std::string>& lines() const { return lines_; }

private:
    std::vector<std::string> lines_;
};

// The rows of the "Error Log" window: three heading rows, then one per line.
// A line starting with '*' is a warning, shown without the '*'.
enum class ErrorLogIcon { None, Warning, Error };
struct ErrorLogRow {
    std::string text;
    ErrorLogIcon icon = ErrorLogIcon::None;
};
std::vector<ErrorLogRow> ErrorLogRows(const ErrorLog& log);

// The same rows as plain text lines for a terminal.
std::string ErrorLogText(const ErrorLog& log);

}  // namespace korvalin
