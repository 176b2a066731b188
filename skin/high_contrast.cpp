#include "skin/high_contrast.h"

namespace skin {

bool skinShows(std::optional<std::uint32_t> highContrastFlags) {
    return !highContrastFlags || (*highContrastFlags & kHighContrastOn) == 0;
}

bool mayAnnounceContrastSwitch(unsigned message, std::uintptr_t wParam) {
    switch (message) {
        case kSettingChange:
            return wParam == kSetHighContrast;
        case kSysColorChange:  // the theme brings its own system colours
        case kThemeChanged:
            return true;
        default:
            return false;
    }
}

}  // namespace skin
