# Runs the playtest (PLAYTEST) on one level file (LEVEL) and checks what it
# reports for it: the clear rate CLEAR and, when given, at least
# MIN_DOTS_LEFT dots left on failure.
set(out ${CMAKE_CURRENT_BINARY_DIR}/playtest-${NAME}.json)
execute_process(COMMAND ${PLAYTEST} ${LEVEL} --games 3 --catch-seeds 0 --max-seconds 30 --json ${out}
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "playtest failed on ${LEVEL}")
endif()
file(READ ${out} json)
string(JSON clear GET "${json}" profiles 0 levels 0 clear_rate)
if(NOT clear EQUAL CLEAR)
  message(FATAL_ERROR "${LEVEL}: clear rate ${clear}, expected ${CLEAR}")
endif()
if(DEFINED MIN_DOTS_LEFT)
  string(JSON left GET "${json}" profiles 0 levels 0 dots_left_on_failure)
  if(left LESS MIN_DOTS_LEFT)
    message(FATAL_ERROR "${LEVEL}: ${left} dots left on failure, expected at least ${MIN_DOTS_LEFT}")
  endif()
endif()
