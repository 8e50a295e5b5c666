// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Caps Lock, Num Lock and Scroll Lock for the status bar. Under X11 the
// keyboard's indicators are read through XKB; on other platforms (Wayland,
// offscreen) the states cannot be known and the panes stay blank.

#include <optional>

namespace korvalin {

struct LockKeyStates {
    std::optional<bool> caps;
    std::optional<bool> num;
    std::optional<bool> scroll;
};

LockKeyStates QueryLockKeys();

}  // namespace korvalin
