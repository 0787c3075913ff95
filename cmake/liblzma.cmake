# liblzma for the target, built from Debian's xz-utils source package inside the build tree.
include(ExternalProject)

set(XZ_SOURCE_ROOT ${CMAKE_BINARY_DIR}/_deps/xz-utils)
file(GLOB XZ_SOURCE_DIR LIST_DIRECTORIES true ${XZ_SOURCE_ROOT}/xz-utils-*)
if(NOT XZ_SOURCE_DIR OR NOT EXISTS ${XZ_SOURCE_DIR}/CMakeLists.txt)
    file(MAKE_DIRECTORY ${XZ_SOURCE_ROOT})
    message(STATUS "Fetching the xz-utils source package")
    execute_process(COMMAND apt-get source -qq xz-utils
        WORKING_DIRECTORY ${XZ_SOURCE_ROOT}
        RESULT_VARIABLE xz_fetch_result OUTPUT_QUIET ERROR_QUIET)
    file(GLOB XZ_SOURCE_DIR LIST_DIRECTORIES true ${XZ_SOURCE_ROOT}/xz-utils-*)
    if(NOT xz_fetch_result EQUAL 0 OR NOT XZ_SOURCE_DIR)
        message(FATAL_ERROR "apt-get source xz-utils failed; run tools/install-prerequisites.sh")
    endif()
endif()
list(GET XZ_SOURCE_DIR 0 XZ_SOURCE_DIR)

set(LIBLZMA_TARGET_ARCHIVE ${CMAKE_BINARY_DIR}/_deps/liblzma-build/liblzma.a)
ExternalProject_Add(liblzma_target_build
    SOURCE_DIR ${XZ_SOURCE_DIR}
    BINARY_DIR ${CMAKE_BINARY_DIR}/_deps/liblzma-build
    CMAKE_ARGS
        -DCMAKE_TOOLCHAIN_FILE=${CMAKE_TOOLCHAIN_FILE}
        -DCMAKE_BUILD_TYPE=MinSizeRel
        -DBUILD_SHARED_LIBS=OFF
        "-DCMAKE_C_FLAGS=-Os -ffunction-sections -fdata-sections -fno-asynchronous-unwind-tables -ffile-prefix-map=${XZ_SOURCE_DIR}=xz"
    BUILD_COMMAND ${CMAKE_COMMAND} --build <BINARY_DIR> --target liblzma
    INSTALL_COMMAND ""
    BUILD_BYPRODUCTS ${LIBLZMA_TARGET_ARCHIVE}
    LOG_CONFIGURE ON LOG_BUILD ON LOG_OUTPUT_ON_FAILURE ON)

add_library(liblzma_target STATIC IMPORTED GLOBAL)
set_target_properties(liblzma_target PROPERTIES
    IMPORTED_LOCATION ${LIBLZMA_TARGET_ARCHIVE}
    INTERFACE_INCLUDE_DIRECTORIES ${XZ_SOURCE_DIR}/src/liblzma/api
    INTERFACE_COMPILE_DEFINITIONS LZMA_API_STATIC)
add_dependencies(liblzma_target liblzma_target_build)
