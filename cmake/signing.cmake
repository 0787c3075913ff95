# Signing with the maker's certificate: the uninstaller before it goes into the payload (pack/ runs
# kelvorin_sign_command on it), the installer last. Off, and the build unchanged, while KELVORIN_SIGN_PFX
# is empty. The password is read at build time from the environment variable KELVORIN_SIGN_PASSWORD, so
# it never reaches the cache or a build file.
set(KELVORIN_SIGN_PFX "" CACHE FILEPATH
    "PKCS#12 file to sign the installer and its uninstaller with (password in KELVORIN_SIGN_PASSWORD)")
set(KELVORIN_SIGN_TIMESTAMP_URL "" CACHE STRING "RFC 3161 time-stamping authority for the signatures (optional)")

set(kelvorin_sign_script ${CMAKE_SOURCE_DIR}/cmake/sign-program.sh)
# Rewritten only when the choice of certificate or authority changes, so that the signed files are
# made again after such a change whatever the certificate file's own time.
set(kelvorin_signing_choice ${CMAKE_BINARY_DIR}/signing-choice.txt)
file(CONFIGURE OUTPUT ${kelvorin_signing_choice}
    CONTENT "${KELVORIN_SIGN_PFX}\n${KELVORIN_SIGN_TIMESTAMP_URL}\n")

if(KELVORIN_SIGN_PFX)
    get_filename_component(KELVORIN_SIGN_PFX "${KELVORIN_SIGN_PFX}" ABSOLUTE)
    if(NOT EXISTS "${KELVORIN_SIGN_PFX}")
        message(FATAL_ERROR "KELVORIN_SIGN_PFX: no such file ${KELVORIN_SIGN_PFX}")
    endif()
    foreach(tool osslsigncode openssl)
        find_program(kelvorin_${tool} ${tool})
        if(NOT kelvorin_${tool})
            message(FATAL_ERROR "Signing needs ${tool}; run tools/install-prerequisites.sh")
        endif()
    endforeach()
    # Looked at in every build, so that the files are signed again when the source's time moves on.
    set(kelvorin_signing_time ${CMAKE_BINARY_DIR}/signing-time.txt)
    add_custom_target(kelvorin_signing_time
        COMMAND ${CMAKE_SOURCE_DIR}/cmake/signing-time.sh ${CMAKE_SOURCE_DIR} ${kelvorin_signing_time}
        BYPRODUCTS ${kelvorin_signing_time} VERBATIM)
    set(kelvorin_sign_targets kelvorin_signing_time)
    set(kelvorin_sign_inputs ${kelvorin_signing_choice} ${kelvorin_sign_script} ${KELVORIN_SIGN_PFX}
        ${kelvorin_signing_time})
    set(kelvorin_sign_command ${kelvorin_sign_script} -p ${KELVORIN_SIGN_PFX} -T ${kelvorin_signing_time}
        -n "Kelvorin App Pack (32-bit)")
    if(KELVORIN_SIGN_TIMESTAMP_URL)
        list(APPEND kelvorin_sign_command -t ${KELVORIN_SIGN_TIMESTAMP_URL})
    endif()
else()
    set(kelvorin_sign_inputs ${kelvorin_signing_choice})
endif()

# A program signed in place right after it is linked; a failed signing deletes it.
function(kelvorin_signed_program target)
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${kelvorin_sign_inputs})
    if(KELVORIN_SIGN_PFX)
        add_dependencies(${target} ${kelvorin_sign_targets})
        add_custom_command(TARGET ${target} POST_BUILD
            COMMAND ${kelvorin_sign_command} $<TARGET_FILE:${target}> $<TARGET_FILE:${target}>
            COMMENT "Signing ${target}" VERBATIM)
    endif()
endfunction()
