# Man pages, written in scdoc and compressed as Debian wants them.
find_program(VANTIRO_SCDOC scdoc)
if(NOT VANTIRO_SCDOC)
  message(WARNING "scdoc not found: no man pages (scripts/install-deps.sh installs it)")
  return()
endif()

# The pages carry the date of the latest changelog entry, not the build's, so that every
# build of one release makes the same pages.
execute_process(COMMAND dpkg-parsechangelog -l ${CMAKE_CURRENT_SOURCE_DIR}/debian/changelog
                        -S Timestamp
                OUTPUT_VARIABLE release_time OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS debian/changelog)
set(scdoc ${VANTIRO_SCDOC})
if(release_time)
  set(scdoc ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${release_time} ${VANTIRO_SCDOC})
endif()
list(JOIN scdoc "' '" scdoc_command)

set(man_pages)
foreach(program ${programs})
  set(source ${CMAKE_CURRENT_SOURCE_DIR}/man/${program}.1.scd)
  set(page ${CMAKE_CURRENT_BINARY_DIR}/man/${program}.1.gz)
  add_custom_command(OUTPUT ${page}
                     COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/man
                     COMMAND sh -c "'${scdoc_command}' < '${source}' | gzip -9n > '${page}'"
                     DEPENDS ${source} debian/changelog VERBATIM)
  list(APPEND man_pages ${page})
endforeach()
add_custom_target(vantiro_man_pages ALL DEPENDS ${man_pages})
install(FILES ${man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
