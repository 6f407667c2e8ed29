# twk itself for 64-bit Windows (twk.exe): the host tool cross-built, not a stub.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TWK_MINGW_PREFIX x86_64-w64-mingw32)
set(TWK_MINGW_THREADS posix)
set(TWK_WINDOWS_TOOL ON CACHE BOOL "Build twk.exe rather than a stub" FORCE)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
