# SPDX-License-Identifier: GPL-3.0-or-later
# cmake -DCMARK=… -DENTRADA=file.md -DSALIDA=file.html -P Html.cmake: Markdown with tables to HTML.
execute_process(COMMAND ${CMARK} -e table ${ENTRADA} OUTPUT_FILE ${SALIDA} RESULT_VARIABLE r)
if(NOT r EQUAL 0)
  file(REMOVE ${SALIDA})
  message(FATAL_ERROR "cmark-gfm failed on ${ENTRADA}: ${r}")
endif()
