# Installation into the usual desktop places and the Debian package built from it by CPack
# (`cpack -G DEB` in the build folder). GNUInstallDirs is included by the top-level file.

set(KRAMBOL_DESKTOP_DIR "${PROJECT_SOURCE_DIR}/resources/desktop")
set(KRAMBOL_APP_ID "org.example.krambol")
set(KRAMBOL_RELEASE_VERSION "2.4.9")  # the version the windows and the metainfo show

# The freedesktop files: Linux and the other Unix desktops. Windows and macOS take the icon
# compiled into the program (and the bundle) instead.
if(UNIX AND NOT APPLE)
    install(FILES "${KRAMBOL_DESKTOP_DIR}/krambol.desktop"
            DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")
    install(FILES "${KRAMBOL_DESKTOP_DIR}/${KRAMBOL_APP_ID}.metainfo.xml"
            DESTINATION "${CMAKE_INSTALL_DATADIR}/metainfo")
    # shared-mime-info reads its sources from mime/packages/; the caches are rebuilt by the
    # package manager's triggers.
    install(FILES "${KRAMBOL_DESKTOP_DIR}/krambol-mime.xml"
            DESTINATION "${CMAKE_INSTALL_DATADIR}/mime/packages" RENAME krambol.xml)
    foreach(size 48 64 128 256)
        install(FILES "${PROJECT_SOURCE_DIR}/resources/icons/hicolor/${size}x${size}/apps/krambol.png"
                DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps")
    endforeach()
endif()

set(CPACK_PACKAGE_NAME "krambol")
set(CPACK_PACKAGE_VERSION "${KRAMBOL_RELEASE_VERSION}")
set(CPACK_PACKAGE_VENDOR "Kermil sift")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "register of the discs you lent to other people")
set(CPACK_PACKAGE_CONTACT "Krambol maintainers <maintainers@krambol.invalid>")
if(UNIX AND NOT APPLE)
    set(CPACK_GENERATOR "DEB")
    set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
else()
    set(CPACK_GENERATOR "ZIP")
endif()
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION "utils")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
# The summary is the package's first description line; this is the body under it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Type the borrower's name and the disc, optionally a date, and accept: one
entry is appended to a rich-text register that can be styled, edited by
hand, printed, and saved to .krm files (plain RTF). Russian interface.")
# The libraries come from dpkg-shlibdeps; Qt's platform plugins are loaded at run time and
# are not seen by it.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-dejavu-core")
set(CPACK_STRIP_FILES ON)
include(CPack)
