# The same source as a 64-bit program (x86_64, posix threads), for the
# end-to-end tests on a kernel that cannot run 32-bit programs.
set(MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
