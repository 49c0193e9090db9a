# Runs one example through the command-line tool and compares its standard output with the
# expected file byte for byte. Called with CLI, PROGRAM, EXPECTED and, when the example reads
# numbers, INPUT.

if(DEFINED INPUT AND EXISTS "${INPUT}")
  set(input_file "${INPUT}")
else()
  set(input_file /dev/null)
endif()
execute_process(
  COMMAND "${CLI}" run "${PROGRAM}" --max-steps 200000000
  INPUT_FILE "${input_file}"
  OUTPUT_VARIABLE output
  ERROR_VARIABLE errors
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${PROGRAM}: exit status ${status}\n${errors}")
endif()
file(READ "${EXPECTED}" expected)
if(NOT output STREQUAL expected)
  message(FATAL_ERROR "${PROGRAM}: output differs\n--- expected\n${expected}\n--- got\n${output}")
endif()
