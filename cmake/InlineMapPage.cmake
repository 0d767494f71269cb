# cmake -DTEMPLATE=<map.htm.in> -DCSS=<leaflet.css> -DJS=<leaflet.min.js>
#       -DOUTPUT=<map.htm> -P InlineMapPage.cmake
# Copies Leaflet's style sheet and script into the map page, byte for byte,
# in place of @LEAFLET_CSS@ and @LEAFLET_JS@ (plain string replacement: no
# other text of the template or of Leaflet is touched).
foreach(input IN ITEMS TEMPLATE CSS JS)
  if(NOT EXISTS "${${input}}")
    message(FATAL_ERROR "map page: ${input} file '${${input}}' is missing")
  endif()
endforeach()
file(READ "${TEMPLATE}" page)
file(READ "${CSS}" css)
file(READ "${JS}" js)
string(REPLACE "@LEAFLET_CSS@" "${css}" page "${page}")
string(REPLACE "@LEAFLET_JS@" "${js}" page "${page}")
file(WRITE "${OUTPUT}.tmp" "${page}")
file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")
