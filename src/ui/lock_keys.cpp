#include "ui/lock_keys.h"

#include <QGuiApplication>

#ifdef KORVALIN_HAVE_X11
#include <X11/XKBlib.h>
#endif

namespace korvalin {

#ifdef KORVALIN_HAVE_X11

namespace {

std::optional<bool> NamedIndicator(Display* display, const char* name) {
    const Atom atom = XInternAtom(display, name, True);
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
    return LockKeyStates{NamedIndicator(display, "Caps Lock"), NamedIndicator(display, "Num Lock"),
                         NamedIndicator(display, "Scroll Lock")};
}

#else

LockKeyStates QueryLockKeys() { return {}; }

#endif

}  // namespace korvalin
