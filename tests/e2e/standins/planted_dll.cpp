// A DLL planted beside the program under a system DLL's name: if it is ever
// loaded it says so.
#include "record.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) appendRecord(L"planted-dll-loaded\t" + ownPath(module));
    return TRUE;
}

// In case the program binds it after loading: the answer must still be sane.
extern "C" __declspec(dllexport) DWORD WINAPI timeGetTime() { return GetTickCount(); }
