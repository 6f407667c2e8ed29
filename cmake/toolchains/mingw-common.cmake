# Shared part of the mingw-w64 toolchain files. The stubs take the win32 thread model, so
# that no winpthread DLL is needed; twk.exe takes the posix one (TWK_MINGW_THREADS), the
# only one whose C++ library has std::thread in this GCC, and links winpthread statically.
if(NOT DEFINED TWK_MINGW_THREADS)
  set(TWK_MINGW_THREADS win32)
endif()
set(CMAKE_C_COMPILER ${TWK_MINGW_PREFIX}-gcc-${TWK_MINGW_THREADS})
set(CMAKE_CXX_COMPILER ${TWK_MINGW_PREFIX}-g++-${TWK_MINGW_THREADS})
set(CMAKE_RC_COMPILER ${TWK_MINGW_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TWK_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
if(DEFINED TWK_STUB_NAME)
  set(TWK_STUB_NAME ${TWK_STUB_NAME} CACHE STRING "Output name of the stub")
endif()
