# SPDX-License-Identifier: MIT
# A Debian package without the source package (debian/, the way the README
# gives): `cpack -G DEB` in a build tree configured with
# CMAKE_INSTALL_PREFIX=/usr (the "package" preset) makes one
# tikora_<version>_<arch>.deb with everything `cmake --install` puts in place.
set(CPACK_PACKAGE_NAME tikora)
set(CPACK_PACKAGE_VENDOR "The Tikora developers")
set(CPACK_PACKAGE_CONTACT "The Tikora developers <tikora@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "alarm clock in the notification area")
set(CPACK_PACKAGE_DESCRIPTION "Tikora keeps 32 alarms (a date, a message, a time of day and a\n\
daily, weekly or monthly repeat), shows a window with the message and plays a\n\
sound when one is due. It starts at login and lives in the notification area.")
set(CPACK_PACKAGE_HOMEPAGE_URL https://tikora.example.org)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)

# Install into the staging folder through DESTDIR, so that the autostart
# entry's /etc path lands in the package too; the package's prefix is the
# build's.
set(CPACK_SET_DESTDIR ON)
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries from dpkg-shlibdeps (Qt Multimedia, with its sound back end,
# from the sound plugin's); Qt's platform plugins are loaded at run time, so
# no library names them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")

# The autostart entry is configuration: dpkg keeps a user's change to it.
if(IS_ABSOLUTE "${TIKORA_AUTOSTART_DIR}")
    file(WRITE ${CMAKE_BINARY_DIR}/debian/conffiles
         "${TIKORA_AUTOSTART_DIR}/org.example.Tikora.desktop\n")
    set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_BINARY_DIR}/debian/conffiles)
endif()

# A package installs under /usr, where desktops read the menu and login
# entries; a tree configured for another prefix (/usr/local, the default)
# builds, installs and tests as before, but cpack refuses to package it.
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_BINARY_DIR}/TikoraPackagePrefix.cmake)
file(WRITE ${CPACK_PROJECT_CONFIG_FILE} "\
if(NOT \"${CMAKE_INSTALL_PREFIX}\" STREQUAL \"/usr\" OR
   NOT CPACK_PACKAGING_INSTALL_PREFIX STREQUAL \"/usr\")
    message(FATAL_ERROR \"Tikora: a package installs under /usr, and this tree is \"
        \"configured for ${CMAKE_INSTALL_PREFIX}: configure it with \"
        \"-DCMAKE_INSTALL_PREFIX=/usr (cmake --preset package)\")
endif()
")

include(CPack)
