# Runs the trainer into a scratch file and compares its bytes with the committed weights.
# Variables: TRAINER, OUTPUT, COMMITTED.
execute_process(COMMAND "${TRAINER}" "${OUTPUT}" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "the trainer failed: ${result}")
endif()
execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${OUTPUT}" "${COMMITTED}"
                RESULT_VARIABLE different)
if(NOT different EQUAL 0)
    message(FATAL_ERROR "the trainer wrote other bytes than the committed ${COMMITTED}")
endif()
message(STATUS "the trainer rebuilt ${COMMITTED} byte for byte")
