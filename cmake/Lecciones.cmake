# SPDX-License-Identifier: GPL-3.0-or-later
# The shipped lessons (examples/*.txt) for the "Lecciones" menu of both faces: an index of each
# lesson's file and its heading in examples/LEEME.md, as JSON, and the list of the lessons' files.
file(GLOB LECCIONES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/examples/*.txt)
function(lambda_indice_lecciones Salida)
  # UTF-8: without it the accented letters end a heading.
  file(STRINGS ${PROJECT_SOURCE_DIR}/examples/LEEME.md titulos ENCODING UTF-8
       REGEX "^## [0-9]+\\. `[^`]+`: ")
  set(indice "")
  foreach(t ${titulos})
    string(REGEX REPLACE "^## ([0-9]+)\\. `([^`]+)`: (.*)$"
           "{\"fichero\": \"\\2\", \"titulo\": \"\\1. \\3\"}" entrada "${t}")
    list(APPEND indice "${entrada}")
  endforeach()
  list(JOIN indice ",\n  " indice)
  # Written at configure time, and only when it changes.
  file(CONFIGURE OUTPUT ${Salida} CONTENT "[\n  ${indice}\n]\n" @ONLY)
  # LEEME.md's headings change the index.
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
               ${PROJECT_SOURCE_DIR}/examples/LEEME.md)
endfunction()

# A Qt resource file holding the lessons and their index under ":/lecciones".
function(lambda_qrc_lecciones Salida)
  set(Indice ${CMAKE_CURRENT_BINARY_DIR}/lecciones/indice.json)
  lambda_indice_lecciones(${Indice})
  set(qrc "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n  <qresource prefix=\"/lecciones\">\n")
  string(APPEND qrc "    <file alias=\"indice.json\">${Indice}</file>\n")
  foreach(l ${LECCIONES})
    get_filename_component(n ${l} NAME)
    string(APPEND qrc "    <file alias=\"${n}\">${l}</file>\n")
  endforeach()
  string(APPEND qrc "  </qresource>\n</RCC>\n")
  file(CONFIGURE OUTPUT ${Salida} CONTENT "${qrc}" @ONLY)
endfunction()
