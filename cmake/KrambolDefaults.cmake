# SPDX-License-Identifier: GPL-3.0-or-later
# Settings every target of the project shares: warnings, and the sanitizers when asked for.

if(KRAMBOL_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
endif()

# Checked buffer sizes in the C library's read, write and copy calls, as Debian builds its packages
# (the sanitizers check the same and more, and do not mix with it).
if(NOT KRAMBOL_SANITIZE AND NOT KRAMBOL_FUZZ AND NOT MSVC)
    add_compile_definitions($<$<NOT:$<CONFIG:Debug>>:_FORTIFY_SOURCE=2>)
endif()

if(KRAMBOL_FUZZ)
    # Coverage for libFuzzer in every library; the fuzz executables add the fuzzer's main.
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()

# Applied to the project's own targets only (not to code Qt generates for them).
# MSVC reads the sources as UTF-8 only when told (they hold Cyrillic literals).
function(krambol_target_defaults target)
    if(MSVC)
        target_compile_options(${target} PRIVATE /W4 /utf-8 /permissive-)
    else()
        target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
    endif()
endfunction()

# One library per folder of src/.
function(krambol_add_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LINKS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC "${PROJECT_SOURCE_DIR}/src")
    target_link_libraries(${name} PUBLIC ${ARG_LINKS})
    krambol_target_defaults(${name})
endfunction()
