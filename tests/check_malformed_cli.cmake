# Runs vrn-glsl on one malformed network file: it must exit with status 2,
# print nothing on stdout and exactly one line on stderr.
#   cmake -DTOOL=path/to/vrn-glsl -DFILE=network.json -P check_malformed_cli.cmake
if(NOT TOOL OR NOT FILE)
  message(FATAL_ERROR "give -DTOOL=<vrn-glsl> and -DFILE=<network.json>")
endif()
execute_process(COMMAND "${TOOL}" "${FILE}"
                RESULT_VARIABLE status
                OUTPUT_VARIABLE out
                ERROR_VARIABLE err)
set(problems "")
if(NOT status STREQUAL "2")
  string(APPEND problems "exit status ${status}, expected 2\n")
endif()
if(NOT out STREQUAL "")
  string(APPEND problems "stdout is not empty:\n${out}\n")
endif()
string(REGEX MATCHALL "\n" newlines "${err}")
list(LENGTH newlines lines)
if(NOT lines EQUAL 1 OR NOT err MATCHES "\n$")
  string(APPEND problems "stderr has ${lines} line ends, expected exactly one line:\n${err}\n")
endif()
if(problems)
  message(FATAL_ERROR "vrn-glsl ${FILE}:\n${problems}")
endif()
