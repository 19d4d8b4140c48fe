# SPDX-License-Identifier: GPL-3.0-or-later
# Runs one lambda-cli script and compares its output with the expected file, byte for byte, and
# its exit status with what the output says.
file(REMOVE_RECURSE ${TRABAJO})
file(MAKE_DIRECTORY ${TRABAJO})
file(GLOB ejemplos ${EJEMPLOS}/*.txt)
file(COPY ${ejemplos} DESTINATION ${TRABAJO})
execute_process(COMMAND ${CLI} ${GUION}
                WORKING_DIRECTORY ${TRABAJO}
                OUTPUT_VARIABLE salida
                ERROR_VARIABLE errores
                RESULT_VARIABLE resultado)
file(READ ${ESPERADO} esperado)
# A script in which a command failed ends with status 1.
if(esperado MATCHES "(^|\n)error: ")
  set(estado 1)
else()
  set(estado 0)
endif()
if(NOT resultado EQUAL estado)
  message(FATAL_ERROR "lambda-cli ended with ${resultado}, not ${estado}: ${errores}")
endif()
if(NOT salida STREQUAL esperado)
  file(WRITE ${TRABAJO}/salida.txt "${salida}")
  message(FATAL_ERROR "output differs from ${ESPERADO}; got ${TRABAJO}/salida.txt:\n${salida}")
endif()
