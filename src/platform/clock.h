// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/calendar_time.h"

namespace korvalin {

// The system clock as UTC calendar fields.
CalendarTime CurrentUtcTime();

}  // namespace korvalin
