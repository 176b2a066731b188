// Handles whose failure value is INVALID_HANDLE_VALUE (files, searches,
// snapshots), held by the project's own owners, which take null for failure.
#pragma once

#include <windows.h>

#include <string>

#include "platform/handles.h"

namespace support {

inline platform::UniqueHandle ownHandle(HANDLE handle) {
    return platform::UniqueHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}

namespace detail {
inline void findClose(HANDLE search) { FindClose(search); }
}  // namespace detail

// FindFirstFileW's search.
using UniqueFind = platform::UniqueResource<HANDLE, nullptr, detail::findClose>;

inline UniqueFind findFirst(const std::wstring& pattern, WIN32_FIND_DATAW& found) {
    const HANDLE search = FindFirstFileW(pattern.c_str(), &found);
    return UniqueFind(search == INVALID_HANDLE_VALUE ? nullptr : search);
}

}  // namespace support
