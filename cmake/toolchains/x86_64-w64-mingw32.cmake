# Windows x86-64 with Debian's MinGW-w64 cross compiler (the posix thread model,
# for std::thread). The C++ runtime, libgcc and winpthread are linked into every
# .exe and .dll, so the program directory needs nothing but its own files.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(VANTIRO_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
