# Runs PROGRAM --version and checks that it exits 0 and prints exactly "NAME VERSION" on one
# line of standard output.

execute_process(
  COMMAND "${PROGRAM}" --version
  OUTPUT_VARIABLE output
  ERROR_VARIABLE errors
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${PROGRAM} --version: exit status ${status}\n${errors}")
endif()
if(NOT output STREQUAL "${NAME} ${VERSION}\n")
  message(FATAL_ERROR "${PROGRAM} --version printed\n${output}\nexpected \"${NAME} ${VERSION}\"")
endif()
