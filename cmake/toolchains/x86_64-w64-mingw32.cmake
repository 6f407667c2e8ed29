# The same stub for 64-bit Windows: the build that runs under Wine on these machines.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TWK_MINGW_PREFIX x86_64-w64-mingw32)
set(TWK_STUB_NAME stub-x64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
