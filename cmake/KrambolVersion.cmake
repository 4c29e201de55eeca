# SPDX-License-Identifier: GPL-3.0-or-later
# The version in one place: project(VERSION MAJOR.MINOR.0.REVISION) in the top-level file and the
# release date beside it (KRAMBOL_RELEASE_DATE, YYYY-MM-DD). Everything else is derived here:
#   KRAMBOL_RELEASE_VERSION    2.4.9       windows, metainfo, manual pages, package
#   KRAMBOL_FILE_VERSION_TEXT  2.04.0009   the file's version block (Windows) and Qt's metadata
#   KRAMBOL_PACKAGE_VERSION    2.4.9-1     the Debian package: release and package revision
#   KRAMBOL_RELEASE_DATE_RFC2822           the changelog's trailer line
# The third number is the build number of the file's version block; the program never had one.

if(NOT PROJECT_VERSION_PATCH EQUAL 0 OR PROJECT_VERSION_TWEAK STREQUAL "")
    message(FATAL_ERROR "project(VERSION) is MAJOR.MINOR.0.REVISION, not ${PROJECT_VERSION}")
endif()
if(NOT KRAMBOL_RELEASE_DATE MATCHES "^([0-9][0-9][0-9][0-9])-([0-9][0-9])-([0-9][0-9])$")
    message(FATAL_ERROR "KRAMBOL_RELEASE_DATE is YYYY-MM-DD, not '${KRAMBOL_RELEASE_DATE}'")
endif()

set(KRAMBOL_RELEASE_VERSION "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_TWEAK}")
# Bump when the package changes without a new release; back to 1 with every release.
set(KRAMBOL_PACKAGE_REVISION 1)
set(KRAMBOL_PACKAGE_VERSION "${KRAMBOL_RELEASE_VERSION}-${KRAMBOL_PACKAGE_REVISION}")

function(_krambol_zero_padded out value width)
    string(LENGTH "${value}" length)
    while(length LESS width)
        string(PREPEND value "0")
        math(EXPR length "${length} + 1")
    endwhile()
    set(${out} "${value}" PARENT_SCOPE)
endfunction()
_krambol_zero_padded(_minor "${PROJECT_VERSION_MINOR}" 2)
_krambol_zero_padded(_revision "${PROJECT_VERSION_TWEAK}" 4)
set(KRAMBOL_FILE_VERSION_TEXT "${PROJECT_VERSION_MAJOR}.${_minor}.${_revision}")

# The day of the week by Zeller's congruence (0 = Saturday), for the RFC 2822 date.
block(SCOPE_FOR VARIABLES PROPAGATE KRAMBOL_RELEASE_DATE_RFC2822)
    string(REGEX MATCH "^([0-9]+)-([0-9]+)-([0-9]+)$" _ "${KRAMBOL_RELEASE_DATE}")
    set(year "${CMAKE_MATCH_1}")
    set(day_text "${CMAKE_MATCH_3}")
    math(EXPR month "1${CMAKE_MATCH_2} - 100")
    math(EXPR day "1${CMAKE_MATCH_3} - 100")
    set(y ${year})
    set(m ${month})
    if(m LESS 3)
        math(EXPR m "${m} + 12")
        math(EXPR y "${y} - 1")
    endif()
    math(EXPR weekday "(${day} + (13 * (${m} + 1)) / 5 + ${y} % 100 + (${y} % 100) / 4 + (${y} / 100) / 4 + 5 * (${y} / 100)) % 7")
    set(weekdays "Sat;Sun;Mon;Tue;Wed;Thu;Fri")
    list(GET weekdays ${weekday} weekday_name)
    math(EXPR month_index "${month} - 1")
    set(months "Jan;Feb;Mar;Apr;May;Jun;Jul;Aug;Sep;Oct;Nov;Dec")
    list(GET months ${month_index} month_name)
    set(KRAMBOL_RELEASE_DATE_RFC2822 "${weekday_name}, ${day_text} ${month_name} ${year} 12:00:00 +0000")
endblock()
