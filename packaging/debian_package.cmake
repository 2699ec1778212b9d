# `make package`: a Debian package of everything installed above. Its dependencies are
# computed from the programs and libraries by dpkg-shlibdeps, not written by hand (Qt
# Charts, for the Forecast window, among them).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vantiro)
set(CPACK_PACKAGE_VENDOR "Brennix Software")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "learn a numeric time series with a small neural network")
set(CPACK_PACKAGE_DESCRIPTION
    "Vantiro learns one numeric time series, a text file with one number per line,
with a small neural network and extends it by prediction. Train teaches the
network until the largest relative error of a pass reaches a target and saves
the weights; Generate extends a seed window with a saved state; Benchmark
measures the speed of the four engine builds (single and double precision,
four-lane and pair vector arithmetic), which give bit-exact results.
.
The package holds the console program VantiroCmdLine and the dialog program
Vantiro, whose Forecast window (drawn with Qt Charts) and the console program
vantiro-forecast check a forecast on held-back values against naive ones.")
set(CPACK_PACKAGE_CONTACT "${VANTIRO_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${VANTIRO_HOMEPAGE}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Purging removes the logs that runs as root leave beside the manual.
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_SOURCE_DIR}/debian/postrm)
# No postinst: the one CPack writes would only call ldconfig for a private directory.
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_CURRENT_SOURCE_DIR}/debian/drop_ldconfig_postinst.cmake)

include(CPack)
