# 32-bit Windows, built only to keep the code 32-bit clean (compile and link):
# these machines run no 32-bit programs, so it is never tested or shipped.
# SSE2 arithmetic, as on x86-64, keeps every rounding point where it is there.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)
set(VANTIRO_MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
