# The host-side tools (the payload builder and its tests), built natively with the host compiler.
include(ExternalProject)

set(KELVORIN_HOST_DIR ${CMAKE_BINARY_DIR}/host)
set(KELVORIN_PAYLOAD_BUILDER ${KELVORIN_HOST_DIR}/payload_builder)
ExternalProject_Add(host_tools
    SOURCE_DIR ${CMAKE_SOURCE_DIR}/tools
    BINARY_DIR ${KELVORIN_HOST_DIR}
    CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release -DCMAKE_C_COMPILER=cc -DCMAKE_CXX_COMPILER=c++
    INSTALL_COMMAND ""
    BUILD_ALWAYS ON
    BUILD_BYPRODUCTS ${KELVORIN_PAYLOAD_BUILDER} ${KELVORIN_HOST_DIR}/payload_builder_tests
        ${KELVORIN_HOST_DIR}/make_payload_variants
    LOG_CONFIGURE ON LOG_BUILD ON LOG_OUTPUT_ON_FAILURE ON)
