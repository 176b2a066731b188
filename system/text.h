// Conversions between the program's Unicode text and what Win32 calls take.
#pragma once

#include <windows.h>

#include <string>

namespace platform {

// Text to the system's ANSI code page and back.
std::string toAnsi(const std::wstring& text);
std::wstring fromAnsi(const char* text, std::size_t length);

// True when the text survives the trip to the ANSI code page unchanged.
bool fitsAnsi(const std::wstring& text);

// The system's own wording for an error code, without trailing line breaks.
std::wstring systemErrorText(DWORD code);

// A window's text.
std::wstring windowText(HWND window);

}  // namespace platform
