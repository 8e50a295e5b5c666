// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The season's greeting that scrolls through the status bar's summary pane
// from 24 December to 6 January: it waits about ten seconds, scrolls one
// message for about 23 seconds, waits again, scrolls the other, four times.

#include <optional>
#include <string>

#include "model/calendar_time.h"

namespace korvalin {

constexpr int TICKER_PERIOD_MS = 100;
constexpr int TICKER_LINE_LENGTH = 120;
constexpr int TICKER_SHOWINGS = 4;
constexpr int TICKER_WAIT_TICKS = 100;
constexpr int TICKER_SCROLL_TICKS = 230;

// Exactly 120 characters each, in Windows-1252 (0xD1 is the letter N with tilde).
extern const char* const GREETING_MESSAGES[2];

class GreetingTicker {
public:
    // Whether the timer runs: 24 December or later in December, or before 7 January.
    static bool RunsOn(const CalendarTime& utcDate);

    // One timer tick; the text to show in the summary pane, if any.
    std::optional<std::string> Tick();

    bool active() const { return active_; }
    int showings() const { return showings_; }

private:
    int showings_ = 0;
    bool active_ = false;
    int selector_ = 0;
    int waitCounter_ = 0;
    int scrollCounter_ = 0;
    int charIndex_ = 0;
    std::string line_ = std::string(TICKER_LINE_LENGTH, ' ');
};

}  // namespace korvalin
