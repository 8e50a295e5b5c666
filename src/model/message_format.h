// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// printf-style formatting for the program's message texts, which are used
// letter for letter with their own %s, %u and %i.

#include <string>

namespace korvalin {

std::string FormatMessage(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace korvalin
