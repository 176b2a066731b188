// A process that only waits: copies of it, renamed, play running rundll32.exe
// and explorer.exe processes for the tests to end.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    Sleep(INFINITE);
    return 0;
}
