// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/greeting_ticker.h"

#include <string_view>

namespace korvalin {

namespace {

constexpr char kChristmas[] =
    "ZOV OS DESEA...        FELIZ NAVIDAD!!!!            Y PROSPERO A\xD1O NUEVO, TAMBIEN!!!"
    "                                    ";
constexpr char kNewYear[] =
    "ZOV OS DESEA...        FELIZ A\xD1O NUEVO!!!     JEJE, ESTOY COMO UNA REGADERAAAAA!!!  ^__^"
    "                                ";
static_assert(sizeof kChristmas - 1 == TICKER_LINE_LENGTH);
static_assert(sizeof kNewYear - 1 == TICKER_LINE_LENGTH);

}  // namespace

const char* const GREETING_MESSAGES[2] = {kChristmas, kNewYear};

bool GreetingTicker::RunsOn(const CalendarTime& utcDate) {
    return (utcDate.month == 12 && utcDate.day >= 24) || (utcDate.month == 1 && utcDate.day < 7);
}

std::optional<std::string> GreetingTicker::Tick() {
    if (showings_ >= TICKER_SHOWINGS) return std::nullopt;
    if (!active_) {
        if (++waitCounter_ > TICKER_WAIT_TICKS) {
            waitCounter_ = 0;
            active_ = true;
        }
        charIndex_ = 0;
        return std::nullopt;
    }
    if (++scrollCounter_ > TICKER_SCROLL_TICKS) {
        selector_ ^= 1;
        scrollCounter_ = 0;
        active_ = false;
        ++showings_;
    }
    const std::string shown = line_;
    const std::string_view message(GREETING_MESSAGES[selector_], TICKER_LINE_LENGTH);
    line_.erase(0, 1);
    line_.push_back(message[static_cast<size_t>(charIndex_)]);
    if (charIndex_ + 1 < TICKER_LINE_LENGTH) ++charIndex_;
    return shown;
}

}  // namespace korvalin
