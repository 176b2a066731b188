// When the skin stands down for a high-contrast theme, so that every window
// takes the system's colours. Portable, so that the decision is tested
// natively: Wine cannot switch high contrast on.
#pragma once

#include <cstdint>
#include <optional>

namespace skin {

// Values fixed by the Windows ABI.
inline constexpr std::uint32_t kHighContrastOn = 0x00000001;  // HCF_HIGHCONTRASTON
inline constexpr unsigned kSysColorChange = 0x0015;           // WM_SYSCOLORCHANGE
inline constexpr unsigned kSettingChange = 0x001A;            // WM_SETTINGCHANGE
inline constexpr unsigned kThemeChanged = 0x031A;             // WM_THEMECHANGED
inline constexpr std::uintptr_t kSetHighContrast = 0x0043;    // SPI_SETHIGHCONTRAST

// Whether the skin paints, from the flags SPI_GETHIGHCONTRAST gives; nothing
// when that query failed, which says nothing of a theme and keeps the skin.
bool skinShows(std::optional<std::uint32_t> highContrastFlags);

// Whether a message sent to top-level windows may announce that high
// contrast was switched on or off: the window then asks again and repaints.
bool mayAnnounceContrastSwitch(unsigned message, std::uintptr_t wParam);

}  // namespace skin
