// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/lock_keys.h"

#include <QGuiApplication>

#ifdef KORVALIN_HAVE_X11
#include <X11/XKBlib.h>
#endif

namespace korvalin {

#ifdef KORVALIN_HAVE_X11

namespace {

std::optional<bool> NamedIndicator(Display* display, Atom atom) {
    if (atom == None) return std::nullopt;
    Bool on = False;
    if (!XkbGetNamedIndicator(display, atom, nullptr, &on, nullptr, nullptr)) return std::nullopt;
    return on != False;
}

}  // namespace

LockKeyStates QueryLockKeys() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display* display = x11 ? x11->display() : nullptr;
    if (display == nullptr) return {};
    // The status bar asks often; the indicator names are looked up once.
    static Display* namedFor = nullptr;
    static Atom caps = None, num = None, scroll = None;
    if (namedFor != display) {
        namedFor = display;
        caps = XInternAtom(display, "Caps Lock", True);
        num = XInternAtom(display, "Num Lock", True);
        scroll = XInternAtom(display, "Scroll Lock", True);
    }
    return LockKeyStates{NamedIndicator(display, caps), NamedIndicator(display, num),
                         NamedIndicator(display, scroll)};
}

#else

LockKeyStates QueryLockKeys() { return {}; }

#endif

}  // namespace korvalin
