# Writes the answer key of one demo: the output of `marovane-plot demo`, so the figures are
# always those of the program's own CPA arithmetic, never typed by hand.
# Run with -DTOOL=... -DDEMO=... -DOUT=...
execute_process(
  COMMAND ${TOOL} demo ${DEMO}
  OUTPUT_FILE ${OUT}.tmp
  ERROR_VARIABLE error
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  file(REMOVE ${OUT}.tmp)
  message(FATAL_ERROR "marovane-plot demo ${DEMO} failed (${result}): ${error}")
endif()
file(RENAME ${OUT}.tmp ${OUT})
