# Compile and link settings shared by everything built for Windows.

# Reproducible output: no time stamps in the PE header, no build paths in the code.
add_compile_options(-ffile-prefix-map=${CMAKE_SOURCE_DIR}=. -ffile-prefix-map=${CMAKE_BINARY_DIR}=build)
add_link_options(-static -Wl,--no-insert-timestamp -Wl,--dynamicbase -Wl,--nxcompat)
add_compile_definitions(UNICODE _UNICODE WINVER=0x0A00 _WIN32_WINNT=0x0A00 _WIN32_IE=0x0A00)

# The product: procedural, no exceptions, no RTTI, small.
function(kelvorin_product_flags target)
    target_compile_options(${target} PRIVATE
        $<$<COMPILE_LANGUAGE:CXX>:-fno-exceptions -fno-rtti>
        $<$<COMPILE_LANGUAGE:C,CXX>:-Os -ffunction-sections -fdata-sections -fno-asynchronous-unwind-tables -Wall -Wextra>)
endfunction()

# Release link of a shipped program: stripped, unused sections dropped, GUI subsystem.
function(kelvorin_release_link target)
    target_link_options(${target} PRIVATE -s -mwindows -municode -Wl,--gc-sections)
endfunction()
