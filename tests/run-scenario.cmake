# Runs one scenario script and compares its transcript with NAME.out beside it.
get_filename_component(dir ${SCRIPT} DIRECTORY)
get_filename_component(name ${SCRIPT} NAME_WE)
set(expected_file ${dir}/${name}.out)
execute_process(COMMAND ${RUNNER} ${SCRIPT}
                OUTPUT_VARIABLE actual ERROR_VARIABLE errors RESULT_VARIABLE code)
if(NOT code EQUAL 0)
  message(FATAL_ERROR "tavrel-scenario exited ${code}: ${errors}")
endif()
if(NOT EXISTS ${expected_file})
  message(FATAL_ERROR "missing ${expected_file}; transcript was:\n${actual}")
endif()
file(READ ${expected_file} expected)
if(NOT actual STREQUAL expected)
  file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/${name}.actual "${actual}")
  execute_process(COMMAND diff -u ${expected_file} ${CMAKE_CURRENT_BINARY_DIR}/${name}.actual
                  OUTPUT_VARIABLE difference)
  message(FATAL_ERROR "transcript differs from ${name}.out:\n${difference}")
endif()
