# Fails when the program carries any symbol of the platform doubles (tests/fakes): they belong
# to the tests and tools, never to what is shipped. Run by CTest with -DNM=... -DPROGRAM=...
execute_process(COMMAND ${NM} -C ${PROGRAM} OUTPUT_VARIABLE symbols ERROR_VARIABLE errors
                RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${NM} failed on ${PROGRAM}: ${errors}")
endif()
string(REGEX MATCHALL "[^\n]*[Ff][Aa][Kk][Ee][^\n]*" found "${symbols}")
list(LENGTH found count)
if(count GREATER 0)
  list(SUBLIST found 0 10 shown)
  list(JOIN shown "\n  " shown)
  message(FATAL_ERROR "${PROGRAM} holds ${count} symbols of the doubles, e.g.\n  ${shown}")
endif()
message(STATUS "no symbol of the doubles in ${PROGRAM}")
