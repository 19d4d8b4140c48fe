# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the .deb with CPack, unpacks it with dpkg -x and checks what a user's system gets.
cmake_policy(VERSION 3.25)
file(REMOVE_RECURSE ${TRABAJO})
file(MAKE_DIRECTORY ${TRABAJO})
execute_process(COMMAND ${CPACK} -G DEB --config ${BINARIO}/CPackConfig.cmake -B ${TRABAJO}
                RESULT_VARIABLE r OUTPUT_VARIABLE salida ERROR_VARIABLE salida)
if(NOT r EQUAL 0)
  message(FATAL_ERROR "cpack failed: ${r}\n${salida}")
endif()
file(GLOB deb ${TRABAJO}/calculo-lambda_*.deb)
list(LENGTH deb n)
if(NOT n EQUAL 1)
  message(FATAL_ERROR "expected one package, found: ${deb}")
endif()

set(raiz ${TRABAJO}/raiz)
execute_process(COMMAND dpkg -x ${deb} ${raiz} RESULT_VARIABLE r)
if(NOT r EQUAL 0)
  message(FATAL_ERROR "dpkg -x failed: ${r}")
endif()
set(doc usr/share/doc/calculo-lambda)
foreach(f usr/bin/lambda usr/bin/lambda-cli
          usr/share/applications/calculo-lambda.desktop
          usr/share/icons/hicolor/scalable/apps/calculo-lambda.svg
          usr/share/icons/hicolor/16x16/apps/calculo-lambda.png
          usr/share/icons/hicolor/48x48/apps/calculo-lambda.png
          usr/share/icons/hicolor/64x64/apps/calculo-lambda.png
          usr/share/icons/hicolor/256x256/apps/calculo-lambda.png
          usr/share/man/man1/lambda.1.gz usr/share/man/man1/lambda-cli.1.gz
          ${doc}/copyright ${doc}/changelog.gz ${doc}/examples/numerales.txt)
  if(NOT EXISTS ${raiz}/${f})
    message(FATAL_ERROR "not in the package: ${f}")
  endif()
endforeach()
file(STRINGS ${raiz}/usr/share/applications/calculo-lambda.desktop entrada)
if(NOT "Exec=lambda %f" IN_LIST entrada)
  message(FATAL_ERROR "the desktop entry does not hand a file to the program")
endif()

# Dependencies found by dpkg-shlibdeps, not listed by hand.
execute_process(COMMAND dpkg-deb -f ${deb} Depends OUTPUT_VARIABLE depende)
foreach(lib libqt6widgets6 libpng16-16 libc6)
  if(NOT depende MATCHES "${lib}")
    message(FATAL_ERROR "Depends lacks ${lib}: ${depende}")
  endif()
endforeach()

# The unpacked lambda-cli runs.
file(WRITE ${TRABAJO}/guion.txt "enter (\\x.x) y\nbeta\nshow\n")
execute_process(COMMAND ${raiz}/usr/bin/lambda-cli ${TRABAJO}/guion.txt
                OUTPUT_VARIABLE salida RESULT_VARIABLE r)
if(NOT r EQUAL 0 OR NOT salida MATCHES "text: a\n")
  message(FATAL_ERROR "the packaged lambda-cli does not run: ${r}\n${salida}")
endif()

find_program(LINTIAN lintian)
if(LINTIAN)
  execute_process(COMMAND ${LINTIAN} ${deb} OUTPUT_VARIABLE informe ERROR_VARIABLE ruido
                  RESULT_VARIABLE r)
  message(STATUS "lintian:\n${informe}")
  if(informe MATCHES "(^|\n)E: ")
    message(FATAL_ERROR "lintian reports errors:\n${informe}")
  endif()
else()
  message(STATUS "lintian is not installed: not run")
endif()
