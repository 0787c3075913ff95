# The host-side tools (the payload builder and its tests), built natively with the host compiler.
include(ExternalProject)

# The installer needs only the payload builder, so a build of the installer alone (a release) waits for
# nothing else; the tools of the tests and benchmarks come in a step of their own.
ExternalProject_Add(host_tools
    SOURCE_DIR ${CMAKE_SOURCE_DIR}/tools
    BINARY_DIR ${KELVORIN_HOST_DIR}
    CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release -DCMAKE_C_COMPILER=cc -DCMAKE_CXX_COMPILER=c++
        -DGOOGLETEST_SOURCE_DIR=${GOOGLETEST_SOURCE_DIR}
        -DKELVORIN_GENERATED_DIR=${KELVORIN_GENERATED_DIR}
    BUILD_COMMAND ${CMAKE_COMMAND} --build <BINARY_DIR> --target payload_builder
    INSTALL_COMMAND ""
    BUILD_ALWAYS ON
    BUILD_BYPRODUCTS ${KELVORIN_PAYLOAD_BUILDER}
    LOG_CONFIGURE ON LOG_BUILD ON LOG_OUTPUT_ON_FAILURE ON)
ExternalProject_Add_Step(host_tools test_tools
    COMMAND ${CMAKE_COMMAND} --build <BINARY_DIR>
    DEPENDEES build
    ALWAYS ON
    EXCLUDE_FROM_MAIN ON
    BYPRODUCTS ${KELVORIN_HOST_DIR}/payload_builder_tests ${KELVORIN_HOST_DIR}/make_payload_variants
        ${KELVORIN_HOST_DIR}/host_decode_benchmark
    LOG ON)
ExternalProject_Add_StepTargets(host_tools test_tools)
add_custom_target(host_test_tools ALL)
add_dependencies(host_test_tools host_tools-test_tools)
