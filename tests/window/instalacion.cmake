# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the build into a folder of its own and checks what a desktop needs is there.
cmake_policy(VERSION 3.25)
file(REMOVE_RECURSE ${DESTINO})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BINARIO} --prefix ${DESTINO} --component Unspecified
                RESULT_VARIABLE r OUTPUT_QUIET)
if(NOT r EQUAL 0)
  message(FATAL_ERROR "install failed: ${r}")
endif()
foreach(f bin/lambda share/applications/calculo-lambda.desktop
          share/icons/hicolor/scalable/apps/calculo-lambda.svg
          share/icons/hicolor/64x64/apps/calculo-lambda.png)
  if(NOT EXISTS ${DESTINO}/${f})
    message(FATAL_ERROR "not installed: ${f}")
  endif()
endforeach()
file(STRINGS ${DESTINO}/share/applications/calculo-lambda.desktop entrada)
foreach(clave "Exec=lambda %f" "Icon=calculo-lambda" "Type=Application")
  if(NOT clave IN_LIST entrada)
    message(FATAL_ERROR "desktop entry lacks ${clave}")
  endif()
endforeach()
find_program(VALIDA desktop-file-validate)
if(VALIDA)
  execute_process(COMMAND ${VALIDA} ${DESTINO}/share/applications/calculo-lambda.desktop
                  RESULT_VARIABLE r)
  if(NOT r EQUAL 0)
    message(FATAL_ERROR "desktop-file-validate: ${r}")
  endif()
endif()
