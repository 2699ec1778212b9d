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
set(date_env)
if(release_time)
  set(date_env SOURCE_DATE_EPOCH=${release_time})
endif()

set(man_pages)
foreach(program ${programs})
  set(source ${CMAKE_CURRENT_SOURCE_DIR}/man/${program}.1.scd)
  set(page ${CMAKE_CURRENT_BINARY_DIR}/man/${program}.1.gz)
  add_custom_command(OUTPUT ${page}
                     COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/man
                     COMMAND ${CMAKE_COMMAND} -E env ${date_env}
                             sh ${CMAKE_CURRENT_SOURCE_DIR}/man/render.sh ${VANTIRO_SCDOC} ${source} ${page}
                     DEPENDS ${source} man/render.sh debian/changelog VERBATIM)
  list(APPEND man_pages ${page})
endforeach()
add_custom_target(vantiro_man_pages ALL DEPENDS ${man_pages})
install(FILES ${man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
