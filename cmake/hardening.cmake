# Hardening, as Debian builds its packages: the compiler and linker flags that
# dpkg-buildflags gives with every hardening feature on (stack protector, fortified
# string and I/O functions, read-only relocations bound at start), or the same flags
# where dpkg-buildflags is missing. The package is made from this build, so it carries
# them. They harden the programs and leave the arithmetic alone: the optimisation level
# and debug information stay the build type's (RelWithDebInfo is -O2 -g, as Debian's),
# and a flag that could move a rounding point (-ffast-math and its parts, -Ofast,
# contraction) is never taken from the environment: the engine's results depend on it.
# Builds under a sanitizer and unoptimised builds (fortification needs the optimiser)
# go without, and so does the Windows build, which has its own (cmake/windows.cmake).
option(VANTIRO_HARDENING "Build with Debian's hardening flags" ON)
string(TOUPPER "${CMAKE_BUILD_TYPE}" build_type)
if(WIN32 OR NOT VANTIRO_HARDENING OR VANTIRO_SANITIZE OR VANTIRO_TSAN OR VANTIRO_FUZZ
   OR build_type STREQUAL "DEBUG" OR build_type STREQUAL "")
  return()
endif()

set(compile_flags -D_FORTIFY_SOURCE=2 -fstack-protector-strong -Wformat -Werror=format-security)
set(link_flags -Wl,-z,relro -Wl,-z,now)
find_program(VANTIRO_DPKG_BUILDFLAGS dpkg-buildflags)
if(VANTIRO_DPKG_BUILDFLAGS)
  set(compile_flags)
  set(link_flags)
  foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
    execute_process(COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
                            ${VANTIRO_DPKG_BUILDFLAGS} --get ${kind}
                    OUTPUT_VARIABLE value OUTPUT_STRIP_TRAILING_WHITESPACE)
    separate_arguments(value UNIX_COMMAND "${value}")
    foreach(flag ${value})
      if(flag MATCHES "^-(O|g)|^-f(file|debug|macro)-prefix-map=")
        continue()  # the build type's, and paths that would differ between checkouts
      endif()
      if(flag MATCHES "fast-math|^-Ofast|^-ffp-contract|unsafe-math|finite-math|associative-math|reciprocal-math")
        message(WARNING "dpkg-buildflags gives ${flag}: not taken, it would change the engine's results")
        continue()
      endif()
      if(kind STREQUAL "LDFLAGS")
        list(APPEND link_flags ${flag})
      else()
        list(APPEND compile_flags ${flag})
      endif()
    endforeach()
  endforeach()
endif()
message(STATUS "Hardening flags: ${compile_flags} ${link_flags}")
add_compile_options(${compile_flags})
add_link_options(${link_flags})
