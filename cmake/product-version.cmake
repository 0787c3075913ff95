# The product's version, set by the maker and defined here once: the version blocks of the installer and
# the uninstaller, the uninstall entry and the logs all take it from the generated header. Without a
# version the build states 23.8.0.0, shown as "2308", as every build before the maker could set one.
set(KELVORIN_VERSION "" CACHE STRING
    "The product's version: four numbers from 0 to 65535 separated by dots; empty for 23.8.0.0")
set(KELVORIN_DISPLAY_VERSION "" CACHE STRING
    "The version as the list of installed programs shows it; empty for the version's own text")

# A refused value leaves no installer of an earlier configuration behind to pass for this one.
function(refuse_version)
    file(REMOVE ${KELVORIN_INSTALLER_FILE})
    message(FATAL_ERROR ${ARGV})
endfunction()

if(KELVORIN_VERSION STREQUAL "")
    set(version_text 23.8.0.0)
    set(display_text 2308)
else()
    set(version_text ${KELVORIN_VERSION})
    set(display_text ${KELVORIN_VERSION})
    if(NOT version_text MATCHES "^([0-9]+)\\.([0-9]+)\\.([0-9]+)\\.([0-9]+)$")
        refuse_version("KELVORIN_VERSION \"${KELVORIN_VERSION}\" is not a version. Give four numbers from 0 to "
            "65535 separated by dots, such as 24.1.0.0.")
    endif()
    foreach(part ${CMAKE_MATCH_1} ${CMAKE_MATCH_2} ${CMAKE_MATCH_3} ${CMAKE_MATCH_4})
        string(LENGTH "${part}" digits)
        if(digits GREATER 5 OR part GREATER 65535)
            refuse_version("KELVORIN_VERSION \"${KELVORIN_VERSION}\" is not a version: ${part} is above 65535. "
                "Give four numbers from 0 to 65535 separated by dots, such as 24.1.0.0.")
        endif()
    endforeach()
endif()
if(NOT KELVORIN_DISPLAY_VERSION STREQUAL "")
    set(display_text ${KELVORIN_DISPLAY_VERSION})
    # The text goes into C and resource string literals as it is, and into the list of installed programs.
    string(LENGTH "${display_text}" display_length)
    if(display_length GREATER 64 OR NOT display_text MATCHES "^[ -~]+$" OR display_text MATCHES "[\"\\\\]")
        refuse_version("KELVORIN_DISPLAY_VERSION \"${KELVORIN_DISPLAY_VERSION}\" cannot be shown. Give at most 64 "
            "printable ASCII characters, without quotes or backslashes.")
    endif()
endif()

string(REPLACE "." ";" version_parts ${version_text})
list(TRANSFORM version_parts REPLACE "^0+([0-9])" "\\1")
list(GET version_parts 0 version_major)
list(GET version_parts 1 version_minor)
list(GET version_parts 2 version_build)
list(GET version_parts 3 version_revision)
# The text as the numbers spell it: "024" would name the same version as "24".
set(version_text "${version_major}.${version_minor}.${version_build}.${version_revision}")
message(STATUS "Version: ${version_text}, shown as \"${display_text}\"")

# Written only when it changes, so that a new configure rebuilds nothing needlessly.
file(CONFIGURE OUTPUT ${KELVORIN_GENERATED_DIR}/product_version.h CONTENT [[
#pragma once

// Generated from cmake/product-version.cmake: the product's version, for the code and the resource
// scripts alike.
#define KELVORIN_VERSION_MAJOR @version_major@
#define KELVORIN_VERSION_MINOR @version_minor@
#define KELVORIN_VERSION_BUILD @version_build@
#define KELVORIN_VERSION_REVISION @version_revision@
#define KELVORIN_VERSION_TEXT "@version_text@"
#define KELVORIN_DISPLAY_VERSION_TEXT "@display_text@"
]] @ONLY)
