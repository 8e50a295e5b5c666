// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/clock.h"

#include <ctime>

namespace korvalin {

CalendarTime CurrentUtcTime() {
    const std::time_t now = std::time(nullptr);
    std::tm fields{};
    ::gmtime_r(&now, &fields);
    return CalendarTime{fields.tm_year + 1900, fields.tm_mon + 1, fields.tm_mday,
                        fields.tm_hour,        fields.tm_min,     fields.tm_sec};
}

}  // namespace korvalin
