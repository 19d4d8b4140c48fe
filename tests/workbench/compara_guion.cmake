# Runs one lambda-cli script and compares its output with the expected file, byte for byte.
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
if(NOT resultado EQUAL 0)
  message(FATAL_ERROR "lambda-cli ended with ${resultado}: ${errores}")
endif()
if(NOT salida STREQUAL esperado)
  file(WRITE ${TRABAJO}/salida.txt "${salida}")
  message(FATAL_ERROR "output differs from ${ESPERADO}; got ${TRABAJO}/salida.txt:\n${salida}")
endif()
