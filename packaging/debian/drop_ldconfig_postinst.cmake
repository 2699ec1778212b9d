# Run by CPack once the package is made (CPACK_POST_BUILD_SCRIPTS). CPack gives every
# package that holds a shared object anywhere under /usr/lib a postinst that calls ldconfig.
# The engine libraries and Language.dll live in the private /usr/lib/vantiro, which the
# linker's cache never reads (the programs load them by path), so the call only costs time
# and lintian flags it. The package is repacked without that script; a postinst that does
# anything else stops the build instead of being dropped.
foreach(package ${CPACK_PACKAGE_FILES})
  if(NOT package MATCHES "\\.deb$")
    continue()
  endif()
  set(tree ${package}.tree)
  file(REMOVE_RECURSE ${tree})
  execute_process(COMMAND dpkg-deb -R ${package} ${tree} COMMAND_ERROR_IS_FATAL ANY)
  set(postinst ${tree}/DEBIAN/postinst)
  if(EXISTS ${postinst})
    file(READ ${postinst} script)
    string(REGEX REPLACE "#![^\n]*|set -e|if \\[ \"\\$1\" = \"configure\" \\]; then|ldconfig|fi|[ \t\r\n]"
           "" rest "${script}")
    if(NOT rest STREQUAL "")
      message(FATAL_ERROR "The generated postinst does more than call ldconfig:\n${script}")
    endif()
    file(REMOVE ${postinst})
    execute_process(COMMAND dpkg-deb --root-owner-group -Zgzip -b ${tree} ${package}
                    OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
  endif()
  file(REMOVE_RECURSE ${tree})
endforeach()
