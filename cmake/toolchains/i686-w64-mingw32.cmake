# The shipping stub: 32-bit Windows.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TWK_MINGW_PREFIX i686-w64-mingw32)
set(TWK_STUB_NAME stub-x86)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
