# Run by CPack on the staged package tree (CPACK_PRE_BUILD_SCRIPTS): strips
# the programs as Debian's own tools do, adds the files Debian's policy asks
# of every package, and compresses those and the manual pages with gzip -9n
# (no time stamp, so the package is reproducible).
find_program(GZIP gzip REQUIRED)
set(root ${CPACK_TEMPORARY_INSTALL_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX})
set(doc ${root}/share/doc/${CPACK_PACKAGE_NAME})

file(GLOB programs ${root}/bin/*)
foreach(program IN LISTS programs)
  file(READ ${program} magic LIMIT 4 HEX)
  if(NOT magic STREQUAL "7f454c46") # not ELF: a script
    continue()
  endif()
  execute_process(COMMAND ${CPACK_FW_STRIP} --remove-section=.comment --remove-section=.note
                          --strip-unneeded ${program}
                  COMMAND_ERROR_IS_FATAL ANY)
endforeach()

file(COPY ${CPACK_FW_DEBIAN_DIR}/copyright ${CPACK_FW_DEBIAN_DIR}/changelog DESTINATION ${doc}
     FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)

file(GLOB_RECURSE manuals ${root}/share/man/*.[1-9])
foreach(file IN LISTS manuals ITEMS ${doc}/changelog)
  execute_process(COMMAND ${GZIP} -9nf ${file} COMMAND_ERROR_IS_FATAL ANY)
endforeach()
