# cmake -DSTAGE=<dir> -DSTRIP=<x86_64-w64-mingw32-strip> -P StripStage.cmake
# Strips every program and DLL of the staged install of its symbols: the
# installer and the install shrink by more than half, and a player has no
# debugger to read them with. The build tree keeps its own, unstripped.
cmake_minimum_required(VERSION 3.25)
file(GLOB_RECURSE binaries ${STAGE}/*.exe ${STAGE}/*.dll)
foreach(binary IN LISTS binaries)
  execute_process(COMMAND ${STRIP} --strip-unneeded ${binary} RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "cannot strip ${binary}")
  endif()
endforeach()
