# SPDX-License-Identifier: GPL-3.0-or-later
# The user's manual (docs/manual.md) as HTML, rendered once by cmark-gfm, GitHub's CommonMark
# with its tables, for the window's "Ayuda > Manual" and the page's alike.
find_program(CMARK_GFM cmark-gfm REQUIRED)
function(lambda_manual_html Salida)
  add_custom_command(OUTPUT ${Salida}
    COMMAND ${CMAKE_COMMAND} -DCMARK=${CMARK_GFM} -DENTRADA=${PROJECT_SOURCE_DIR}/docs/manual.md
            -DSALIDA=${Salida} -P ${PROJECT_SOURCE_DIR}/cmake/Html.cmake
    DEPENDS ${PROJECT_SOURCE_DIR}/docs/manual.md ${PROJECT_SOURCE_DIR}/cmake/Html.cmake
    VERBATIM)
endfunction()
