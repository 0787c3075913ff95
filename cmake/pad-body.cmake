# Makes a payload body exactly its entry's size: a program is padded with zero bytes, a text must fit
# exactly. Called as: cmake -DIN=... -DOUT=... -DSIZE=... -DNAME=... [-DEXACT=1] -P pad-body.cmake
file(SIZE "${IN}" actual)
if(EXACT AND NOT actual EQUAL SIZE)
    message(FATAL_ERROR "${NAME} is ${actual} bytes; its payload entry needs exactly ${SIZE} bytes")
endif()
if(actual GREATER SIZE)
    message(FATAL_ERROR "${NAME} is ${actual} bytes, larger than its payload entry of ${SIZE} bytes")
endif()
file(COPY_FILE "${IN}" "${OUT}")
execute_process(COMMAND truncate -s ${SIZE} "${OUT}" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "could not pad ${NAME} to ${SIZE} bytes")
endif()
