// Where system programs and DLLs come from: full paths only, so nothing
// planted beside the program or in the current directory is ever used.
#pragma once

#include <windows.h>

#include <string>

#include "win32/handles.h"

namespace platform {

std::wstring systemDirectory();
std::wstring windowsDirectory();
// The native system directory: Sysnative for a 32-bit process on 64-bit Windows.
std::wstring nativeSystemDirectory();
// The folder of the running executable, as the system writes a folder: no
// trailing separator, except at a drive's root ("E:\").
std::wstring programDirectory();
// A path that survives the ANSI code page: the path itself, or else its
// short name when that does.
std::wstring ansiSafePath(const std::wstring& path);

// Loads a system DLL from the system directory by full path.
win32::UniqueLibrary loadSystemLibrary(const wchar_t* name);
// The same, kept loaded until the process ends whoever frees it; null on failure.
HMODULE keepSystemLibrary(const wchar_t* name);
// Loads a DLL from the program's own folder by full path.
win32::UniqueLibrary loadProgramLibrary(const wchar_t* name);

// Takes the current directory and PATH out of the DLL search for the process.
void hardenDllSearch();

// Makes the system directory the current one. A current directory keeps its
// volume in use, and the folder the program is started from is often on the
// very stick it is meant to free; nothing in the program depends on it.
void leaveStartDirectory();

}  // namespace platform
