// How the skin meets the system around it: it stands down for a
// high-contrast theme and follows a switch while the program runs, and no
// exception from inside a callback reaches the system.
#include <functional>
#include <gtest/gtest.h>
#include <new>
#include <optional>
#include <stdexcept>
#include <string>

#include "skin/callback_guard.h"
#include "skin/high_contrast.h"

namespace {

// Flags of HIGHCONTRASTW other than "on": available, hot key, and so on.
constexpr std::uint32_t kOtherFlags = 0x2 | 0x4 | 0x8 | 0x10 | 0x20 | 0x40 | 0x1000;

TEST(SkinSystem, TheSkinStandsDownOnlyWhileHighContrastIsOn) {
    struct Case {
        const char* name;
        std::optional<std::uint32_t> flags;
        bool shows;
    };
    const Case cases[] = {
        {"a normal theme", 0, true},
        {"high contrast on", skin::kHighContrastOn, false},
        {"on, with the other flags", skin::kHighContrastOn | kOtherFlags, false},
        {"available and hot key set, but off", kOtherFlags, true},
        {"the query failed", std::nullopt, true},
    };
    for (const Case& c : cases) EXPECT_EQ(skin::skinShows(c.flags), c.shows) << c.name;

    struct Message {
        const char* name;
        unsigned message;
        std::uintptr_t wParam;
        bool announces;
    };
    const Message messages[] = {
        {"high contrast set", skin::kSettingChange, skin::kSetHighContrast, true},
        {"system colours changed", skin::kSysColorChange, 0, true},
        {"theme changed", skin::kThemeChanged, 0, true},
        {"another setting (work area)", skin::kSettingChange, 0x002F, false},
        {"a named setting (environment)", skin::kSettingChange, 0, false},
        {"high contrast read, not set", skin::kSettingChange, 0x0042, false},
        {"an ordinary message (paint)", 0x000F, skin::kSetHighContrast, false},
    };
    for (const Message& m : messages) {
        EXPECT_EQ(skin::mayAnnounceContrastSwitch(m.message, m.wParam), m.announces) << m.name;
    }
}

std::string g_reported;
void record(const char* what) noexcept { g_reported += what; }

TEST(SkinSystem, NothingThrownInACallbackGetsPastItsBoundary) {
    const auto throwing = [](auto thrown) { return [thrown]() -> long { throw thrown; }; };
    const auto fallback = [] { return -1L; };
    struct NotAnException {};
    g_reported.clear();
    EXPECT_EQ(skin::atCallbackBoundary(
                  "ran", record, [] { return 7L; }, fallback),
              7);
    EXPECT_EQ(g_reported, "") << "nothing thrown, nothing reported";

    const std::function<long()> bodies[] = {
        throwing(std::runtime_error("a standard exception")),
        throwing(std::bad_alloc()),
        throwing(42),
        throwing(NotAnException{}),
    };
    for (const auto& body : bodies) {
        g_reported.clear();
        EXPECT_EQ(skin::atCallbackBoundary("stopped", record, body, fallback), -1)
            << "the callback answers so that the system carries on";
        EXPECT_EQ(g_reported, "stopped");
    }
}

}  // namespace
