# Man pages, written in scdoc and compressed as Debian wants them.
find_program(VANTIRO_SCDOC scdoc)
if(NOT VANTIRO_SCDOC)
  message(WARNING "scdoc not found: no man pages (scripts/install-deps.sh installs it)")
  return()
endif()

set(man_pages)
foreach(program ${programs})
  set(source ${CMAKE_CURRENT_SOURCE_DIR}/man/${program}.1.scd)
  set(page ${CMAKE_CURRENT_BINARY_DIR}/man/${program}.1.gz)
  add_custom_command(OUTPUT ${page}
                     COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/man
                     COMMAND sh -c "'${VANTIRO_SCDOC}' < '${source}' | gzip -9n > '${page}'"
                     DEPENDS ${source} VERBATIM)
  list(APPEND man_pages ${page})
endforeach()
add_custom_target(vantiro_man_pages ALL DEPENDS ${man_pages})
install(FILES ${man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
