# Settings of the Windows build (MinGW-w64).
enable_language(RC)
# Windows 10 and later; the "A" calls take UTF-8 through the manifest's code page.
add_compile_definitions(_WIN32_WINNT=0x0A00 WINVER=0x0A00 WIN32_LEAN_AND_MEAN NOMINMAX
  # MinGW's own printf family, which formats as the C standard says (as glibc
  # does), not the system's msvcrt: the numbers in files and messages are the same
  # text on both systems.
  __USE_MINGW_ANSI_STDIO=1)
# The executables and DLLs refuse neither ASLR nor DEP.
add_link_options(-Wl,--dynamicbase -Wl,--nxcompat)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  add_link_options(-Wl,--high-entropy-va)
endif()

# Tests run under Wine, with a prefix of their own inside the build directory.
set(VANTIRO_WINE_PREFIX ${CMAKE_BINARY_DIR}/wine-prefix)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/scripts/wine-run.sh)
