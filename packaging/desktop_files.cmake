# The dialog in the desktop's menu: its entry, its icon in the hicolor theme (the program's
# own SVG, and PNG sizes drawn from it) and its AppStream metainfo.
if(NOT TARGET Vantiro)
  return()
endif()

set(icon_svg ${CMAKE_SOURCE_DIR}/gui/window/resources/icon163.svg)
install(FILES desktop/${VANTIRO_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${icon_svg} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME ${VANTIRO_APP_ID}.svg)

find_program(VANTIRO_RSVG_CONVERT rsvg-convert)
if(VANTIRO_RSVG_CONVERT)
  set(icons)
  foreach(side 16 24 32 48 64 128 256)
    set(icon ${CMAKE_CURRENT_BINARY_DIR}/icons/${side}x${side}/${VANTIRO_APP_ID}.png)
    add_custom_command(OUTPUT ${icon}
                       COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/icons/${side}x${side}
                       COMMAND ${VANTIRO_RSVG_CONVERT} -w ${side} -h ${side} -o ${icon} ${icon_svg}
                       DEPENDS ${icon_svg} VERBATIM)
    list(APPEND icons ${icon})
    install(FILES ${icon} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${side}x${side}/apps)
  endforeach()
  add_custom_target(vantiro_icons ALL DEPENDS ${icons})
else()
  message(WARNING "rsvg-convert not found: only the SVG icon (scripts/install-deps.sh installs it)")
endif()

set(metainfo ${CMAKE_CURRENT_BINARY_DIR}/${VANTIRO_APP_ID}.metainfo.xml)
configure_file(desktop/${VANTIRO_APP_ID}.metainfo.xml.in ${metainfo} @ONLY)
install(FILES ${metainfo} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
