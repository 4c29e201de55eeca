# SPDX-License-Identifier: GPL-3.0-or-later
# Installation into the usual desktop places and the Debian package built from it by CPack
# (`cpack -G DEB` in the build folder). GNUInstallDirs and KrambolVersion are included by the
# top-level file.

set(KRAMBOL_DESKTOP_DIR "${PROJECT_SOURCE_DIR}/resources/desktop")
set(KRAMBOL_APP_ID "org.example.krambol")
set(CPACK_PACKAGE_CONTACT "Krambol maintainers <maintainers@krambol.invalid>")

# Files that carry the version or the release date are configured into the build folder.
set(KRAMBOL_METAINFO_FILE "${PROJECT_BINARY_DIR}/desktop/${KRAMBOL_APP_ID}.metainfo.xml")
configure_file("${KRAMBOL_DESKTOP_DIR}/${KRAMBOL_APP_ID}.metainfo.xml.in" "${KRAMBOL_METAINFO_FILE}" @ONLY)

# krambol_compressed_doc(SOURCE OUTPUT): configures SOURCE (a .in file) and compresses it the way
# Debian wants documentation, with gzip -9n (no name or time stamp: the same bytes every build).
set(KRAMBOL_COMPRESSED_DOCS)
function(krambol_compressed_doc source output)
    string(REGEX REPLACE "\\.gz$" "" plain "${output}")
    configure_file("${source}" "${plain}" @ONLY)
    add_custom_command(OUTPUT "${output}"
        COMMAND sh -c "gzip -9n -c \"$1\" > \"$2\"" sh "${plain}" "${output}"
        DEPENDS "${plain}"
        VERBATIM)
    set(KRAMBOL_COMPRESSED_DOCS ${KRAMBOL_COMPRESSED_DOCS} "${output}" PARENT_SCOPE)
endfunction()

# The freedesktop files: Linux and the other Unix desktops. Windows and macOS take the icon
# compiled into the program (and the bundle) instead.
if(UNIX AND NOT APPLE)
    install(FILES "${KRAMBOL_DESKTOP_DIR}/krambol.desktop"
            DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")
    install(FILES "${KRAMBOL_METAINFO_FILE}"
            DESTINATION "${CMAKE_INSTALL_DATADIR}/metainfo")
    # shared-mime-info reads its sources from mime/packages/; the caches are rebuilt by the
    # package manager's triggers.
    install(FILES "${KRAMBOL_DESKTOP_DIR}/krambol-mime.xml"
            DESTINATION "${CMAKE_INSTALL_DATADIR}/mime/packages" RENAME krambol.xml)
    foreach(size 48 64 128 256)
        install(FILES "${PROJECT_SOURCE_DIR}/resources/icons/hicolor/${size}x${size}/apps/krambol.png"
                DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps")
    endforeach()

    # What Debian asks of every package: the licence in its machine-readable form, the changelogs
    # (the release's and the package's, since the package carries a revision of its own) and a
    # manual page, here in English and Russian.
    set(doc "${PROJECT_BINARY_DIR}/doc")
    krambol_compressed_doc("${PROJECT_SOURCE_DIR}/packaging/changelog.in" "${doc}/changelog.gz")
    krambol_compressed_doc("${PROJECT_SOURCE_DIR}/packaging/changelog.Debian.in" "${doc}/changelog.Debian.gz")
    krambol_compressed_doc("${PROJECT_SOURCE_DIR}/docs/man/krambol.1.in" "${doc}/man/krambol.1.gz")
    krambol_compressed_doc("${PROJECT_SOURCE_DIR}/docs/man/krambol.ru.1.in" "${doc}/man/ru/krambol.1.gz")
    add_custom_target(krambol_docs ALL DEPENDS ${KRAMBOL_COMPRESSED_DOCS})
    set(doc_dir "${CMAKE_INSTALL_DATADIR}/doc/krambol")
    install(FILES "${PROJECT_SOURCE_DIR}/packaging/copyright" "${doc}/changelog.gz" "${doc}/changelog.Debian.gz"
            DESTINATION "${doc_dir}")
    install(FILES "${PROJECT_SOURCE_DIR}/packaging/lintian-overrides"
            DESTINATION "${CMAKE_INSTALL_DATADIR}/lintian/overrides" RENAME krambol)
    install(FILES "${doc}/man/krambol.1.gz" DESTINATION "${CMAKE_INSTALL_MANDIR}/man1")
    install(FILES "${doc}/man/ru/krambol.1.gz" DESTINATION "${CMAKE_INSTALL_MANDIR}/ru/man1")
endif()

set(CPACK_PACKAGE_NAME "krambol")
set(CPACK_PACKAGE_VERSION "${KRAMBOL_RELEASE_VERSION}")
set(CPACK_DEBIAN_PACKAGE_RELEASE "${KRAMBOL_PACKAGE_REVISION}")
set(CPACK_PACKAGE_VENDOR "Kermil sift")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "register of the discs you lent to other people")
set(CPACK_RESOURCE_FILE_LICENSE "${PROJECT_SOURCE_DIR}/LICENSE")
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
# Liberation Sans has the widths the status-bar panels were made for (README, "Fonts").
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation2, fonts-dejavu-core, qt6-translations-l10n")
set(CPACK_STRIP_FILES ON)
include(CPack)
