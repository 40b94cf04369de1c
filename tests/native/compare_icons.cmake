# Runs the icon generator into OUTPUT_DIR and compares every icon it writes
# with the one in EXPECTED_DIR, byte for byte.
#   cmake -DGENERATOR=... -DOUTPUT_DIR=... -DEXPECTED_DIR=... -P compare_icons.cmake

foreach(var GENERATOR OUTPUT_DIR EXPECTED_DIR)
    if(NOT DEFINED ${var})
        message(FATAL_ERROR "compare_icons.cmake needs -D${var}=...")
    endif()
endforeach()

# Start empty, so a file left over from an earlier run cannot pass for output.
file(REMOVE_RECURSE "${OUTPUT_DIR}")
file(MAKE_DIRECTORY "${OUTPUT_DIR}")

execute_process(COMMAND "${GENERATOR}" "${OUTPUT_DIR}" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "${GENERATOR} failed: ${result}")
endif()

set(icons tidewell.ico close.ico restore.ico maximize.ico minimize.ico)
set(failed "")
foreach(icon IN LISTS icons)
    if(NOT EXISTS "${OUTPUT_DIR}/${icon}")
        list(APPEND failed "${icon} (not written)")
        continue()
    endif()
    execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files
                            "${OUTPUT_DIR}/${icon}" "${EXPECTED_DIR}/${icon}"
                    RESULT_VARIABLE differ)
    if(NOT differ EQUAL 0)
        list(APPEND failed "${icon}")
    endif()
endforeach()

if(failed)
    list(JOIN failed ", " failed)
    message(FATAL_ERROR "generated icons differ from ${EXPECTED_DIR}: ${failed}\n"
                        "Rerun make_icons into resources/icons if the change is intended.")
endif()
list(LENGTH icons count)
message(STATUS "all ${count} icons match")
