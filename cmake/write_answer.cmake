# Writes the answer key of one demo or assessed exercise: the output of `marovane-plot demo` or
# `marovane-plot exercise`, so the figures are always those of the program's own CPA
# arithmetic, never typed by hand.
# Run with -DTOOL=... -DDEMO=... -DOUT=... [-DCOMMAND=exercise]
if(NOT COMMAND)
  set(COMMAND demo)
endif()
execute_process(
  COMMAND ${TOOL} ${COMMAND} ${DEMO}
  OUTPUT_FILE ${OUT}.tmp
  ERROR_VARIABLE error
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  file(REMOVE ${OUT}.tmp)
  message(FATAL_ERROR "marovane-plot ${COMMAND} ${DEMO} failed (${result}): ${error}")
endif()
file(RENAME ${OUT}.tmp ${OUT})
