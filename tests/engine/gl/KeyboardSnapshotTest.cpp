// The once-a-frame keyboard snapshot answers as SFML's key-by-key query does: every key code the
// display server knows is pressed in turn through its XTEST extension, and every SFML key is asked
// both ways while it is down.
#include "engine/KeyboardSnapshot.hpp"

#include <gtest/gtest.h>

// After the test framework: Xlib's macros (None, Bool) would clash with its names.
#include <X11/Xlib.h>
#include <dlfcn.h>

namespace {

using FakeKeyEvent = int (*)(Display*, unsigned int, int, unsigned long);

TEST(KeyboardSnapshot, AgreesWithSfmlOnEveryKeyCodeOfTheServer) {
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        GTEST_SKIP() << "no display";
    int opcode = 0, event = 0, error = 0;
    void* xtest = dlopen("libXtst.so.6", RTLD_NOW);
    const auto fakeKey =
        xtest ? reinterpret_cast<FakeKeyEvent>(dlsym(xtest, "XTestFakeKeyEvent")) : nullptr;
    if (!fakeKey || !XQueryExtension(display, "XTEST", &opcode, &event, &error)) {
        XCloseDisplay(display);
        GTEST_SKIP() << "no XTEST to press keys with";
    }
    int first = 0, last = 0;
    XDisplayKeycodes(display, &first, &last);
    vorn::engine::KeyboardSnapshot snapshot;
    int keysSeenDown = 0;
    for (int code = first; code <= last; ++code) {
        int perCode = 0;
        KeySym* symbols = XGetKeyboardMapping(display, static_cast<KeyCode>(code), 1, &perCode);
        const bool mapped = symbols && perCode > 0 && symbols[0] != NoSymbol;
        if (symbols)
            XFree(symbols);
        if (!mapped)
            continue;
        fakeKey(display, static_cast<unsigned>(code), True, CurrentTime);
        XSync(display, False);
        snapshot.refresh();
        ASSERT_TRUE(snapshot.taken());
        for (int k = 0; k < sf::Keyboard::KeyCount; ++k) {
            const auto key = static_cast<sf::Keyboard::Key>(k);
            const bool sfml = sf::Keyboard::isKeyPressed(key);
            EXPECT_EQ(snapshot.isDown(key), sfml) << "key code " << code << ", SFML key " << k;
            keysSeenDown += sfml ? 1 : 0;
        }
        fakeKey(display, static_cast<unsigned>(code), False, CurrentTime);
        XSync(display, False);
    }
    snapshot.refresh();
    for (int k = 0; k < sf::Keyboard::KeyCount; ++k)
        EXPECT_FALSE(snapshot.isDown(static_cast<sf::Keyboard::Key>(k))) << "released " << k;
    // The game's keys at least were pressed and seen: letters, digits, arrows, Space, Escape...
    EXPECT_GE(keysSeenDown, 80);
    XCloseDisplay(display);
    dlclose(xtest);
}

} // namespace
