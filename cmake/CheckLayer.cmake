# cmake -DLAYER=engine -DALLOWED=core,platform,engine -DDIR=<folder> -DART=<art folder> -DSTAMP=<file>
#       -P CheckLayer.cmake
# Fails when a source of the folder (its subfolders too) includes a header of
# a layer it may not use: "core/...", <core/...> and the artwork's headers,
# which are included by their bare names ("SkinArt.h") and count as the
# layer `art`.
cmake_minimum_required(VERSION 3.25)
string(REPLACE "," ";" allowed "${ALLOWED}")
set(layers "core|platform|engine|detection|window|cli")
file(GLOB art_headers RELATIVE ${ART} ${ART}/*.h)
list(JOIN art_headers "|" art_names)
string(REPLACE "." "\\." art_names "${art_names}")
set(included "[\"<]((${layers})/|(${art_names})[\">])")

file(GLOB_RECURSE sources ${DIR}/*.h ${DIR}/*.cpp)
set(failed FALSE)
foreach(source ${sources})
  file(STRINGS ${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]*${included}")
  foreach(line ${includes})
    string(REGEX MATCH "${included}" used "${line}")
    set(used ${CMAKE_MATCH_2})
    if(NOT used)
      set(used art)
    endif()
    if(NOT used IN_LIST allowed)
      message(SEND_ERROR "${source}: the ${LAYER} layer may not include from ${used} (${line})")
      set(failed TRUE)
    endif()
  endforeach()
endforeach()
if(NOT failed)
  file(TOUCH ${STAMP})
endif()
