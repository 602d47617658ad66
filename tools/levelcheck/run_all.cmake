# Runs the checker over every level file of DIR; fails when there is none or
# when the checker reports an error.
file(GLOB levels ${DIR}/*.map)
if(NOT levels)
  message(FATAL_ERROR "no level files in ${DIR}")
endif()
list(SORT levels)
execute_process(COMMAND ${CHECKER} ${levels} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "levelcheck found errors")
endif()
