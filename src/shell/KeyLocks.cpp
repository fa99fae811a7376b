#include "KeyLocks.h"

#include <QGuiApplication>

#include <X11/XKBlib.h>

KeyLocks::KeyLocks() {
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        m_pDisplay = XOpenDisplay(nullptr);
    }
}

KeyLocks::~KeyLocks() {
    if (m_pDisplay) {
        XCloseDisplay(static_cast<Display*>(m_pDisplay));
    }
}

KeyLocks::State KeyLocks::Read() const {
    State state;
    unsigned int bits = 0;
    if (m_pDisplay && XkbGetIndicatorState(static_cast<Display*>(m_pDisplay), XkbUseCoreKbd, &bits) == Success) {
        // Core keyboard indicators: Caps Lock, Num Lock, Scroll Lock.
        state.caps = (bits & 0x1) != 0;
        state.num = (bits & 0x2) != 0;
        state.scroll = (bits & 0x4) != 0;
    }
    return state;
}
