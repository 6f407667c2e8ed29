# Shared part of the mingw-w64 toolchain files. The win32 thread model is chosen so that
# no winpthread DLL is needed.
set(CMAKE_C_COMPILER ${TWK_MINGW_PREFIX}-gcc-win32)
set(CMAKE_CXX_COMPILER ${TWK_MINGW_PREFIX}-g++-win32)
set(CMAKE_RC_COMPILER ${TWK_MINGW_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TWK_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(TWK_STUB_NAME ${TWK_STUB_NAME} CACHE STRING "Output name of the stub")
