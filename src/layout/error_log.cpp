// SPDX-License-Identifier: GPL-3.0-or-later
#include "layout/error_log.h"

namespace korvalin {

void ErrorLog::AddMessage(const std::string& text) {
    if (count() >= ERROR_LOG_CAPACITY) return;
    const std::string& line = count() == ERROR_LOG_CAPACITY - 1 ? ERROR_LOG_OVERFLOW : text;
    lines_.push_back(line.substr(0, ERROR_LOG_LINE_MAX));
}

std::vector<ErrorLogRow> ErrorLogRows(const ErrorLog& log) {
    std::vector<ErrorLogRow> rows = {
        {"ATTENTION", ErrorLogIcon::None},
        {"    the elements listed here have not been included!     ", ErrorLogIcon::None},
        {"", ErrorLogIcon::None},
    };
    for (const std::string& line : log.lines()) {
        if (!line.empty() && line[0] == '*') {
            rows.push_back({line.substr(1), ErrorLogIcon::Warning});
        } else {
            rows.push_back({line, ErrorLogIcon::Error});
        }
    }
    return rows;
}

std::string ErrorLogText(const ErrorLog& log) {
    std::string text;
    for (const ErrorLogRow& row : ErrorLogRows(log)) {
        text += row.text;
        text += '\n';
    }
    return text;
}

}  // namespace korvalin
