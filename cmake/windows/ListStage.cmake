# cmake -DSTAGE=<dir> -DOUT=<dir> -P ListStage.cmake
# Writes the installer's two lists from the staged install: install.nsh puts
# every staged file in place, uninstall.nsh removes exactly those files and
# then the folders they made, deepest first, and only when they are empty, so
# that an uninstall never takes anything it did not bring.
cmake_minimum_required(VERSION 3.25)
file(GLOB_RECURSE files RELATIVE ${STAGE} ${STAGE}/*)
list(SORT files)
set(install "")
set(uninstall "")
set(dirs "")
foreach(file IN LISTS files)
  get_filename_component(dir ${file} DIRECTORY)
  string(REPLACE "/" "\\" native "${file}")
  string(REPLACE "/" "\\" native_dir "${dir}")
  set(target "$INSTDIR")
  if(dir)
    set(target "$INSTDIR\\${native_dir}")
  endif()
  # makensis runs here: the source is a Linux path.
  string(APPEND install "SetOutPath \"${target}\"\nFile \"${STAGE}/${file}\"\n")
  string(APPEND uninstall "Delete \"$INSTDIR\\${native}\"\n")
  if(dir AND NOT dir IN_LIST dirs)
    list(APPEND dirs ${dir})
  endif()
endforeach()
list(SORT dirs)
list(REVERSE dirs)
foreach(dir IN LISTS dirs)
  string(REPLACE "/" "\\" native_dir "${dir}")
  string(APPEND uninstall "RMDir \"$INSTDIR\\${native_dir}\"\n")
endforeach()
file(WRITE ${OUT}/install.nsh "${install}")
file(WRITE ${OUT}/uninstall.nsh "${uninstall}")
