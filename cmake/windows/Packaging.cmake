# What a Windows install holds, and the installer that puts it in place.
# (cmake/Packaging.cmake is the Linux side.)
#
#   <Program Files>\Framewright\   framewright.exe, kudoscope.exe,
#                                  framewright-convert.exe,
#                                  framewright-watch.exe, skin.bmp,
#                                  skin@2x.bmp, the DLLs they load
#   ...\platforms\qwindows.dll     Qt's Windows platform
#   ...\styles\                    Qt's native widget style
#
# Windows looks for a program's DLLs beside it, so the build tree's bin\
# gets the same DLLs as the install: the tests run there under Wine.

# The compiler's runtime, which the Qt DLLs need as much as our programs.
set(fw_runtime_dlls "")
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll} OUTPUT_VARIABLE path
                  OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT IS_ABSOLUTE "${path}")
    find_file(path ${dll} PATHS /usr/${FW_MINGW_TRIPLET}/lib NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
  endif()
  list(APPEND fw_runtime_dlls ${path})
endforeach()

find_file(FW_JPEG_DLL libjpeg-62.dll PATH_SUFFIXES bin REQUIRED)
list(APPEND fw_runtime_dlls ${FW_JPEG_DLL})
foreach(module Core Gui Widgets OpenGL)
  list(APPEND fw_runtime_dlls $<TARGET_FILE:Qt6::${module}>)
endforeach()

get_target_property(fw_qt_core_dll Qt6::Core IMPORTED_LOCATION_RELEASE)
get_filename_component(fw_qt_prefix ${fw_qt_core_dll} DIRECTORY)
get_filename_component(fw_qt_prefix ${fw_qt_prefix} DIRECTORY)
set(fw_qt_platform ${fw_qt_prefix}/plugins/platforms/qwindows.dll)
set(fw_qt_style ${fw_qt_prefix}/plugins/styles/qwindowsvistastyle.dll)

# The test programs also load TurboJPEG (to decode what was written), Qt's
# test library and its offscreen platform; none of them is installed.
set(fw_test_dlls "")
if(FW_BUILD_TESTS)
  find_package(Qt6 REQUIRED COMPONENTS Test)
  find_file(FW_TURBOJPEG_DLL libturbojpeg.dll PATH_SUFFIXES bin REQUIRED)
  list(APPEND fw_test_dlls $<TARGET_FILE:Qt6::Test> ${FW_TURBOJPEG_DLL})
endif()

set(fw_bin ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})
add_custom_target(fw_windows_runtime ALL
  COMMAND ${CMAKE_COMMAND} -E make_directory ${fw_bin}/platforms ${fw_bin}/styles
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${fw_runtime_dlls} ${fw_test_dlls} ${fw_bin}
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${fw_qt_platform}
          ${fw_qt_prefix}/plugins/platforms/qoffscreen.dll ${fw_bin}/platforms
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${fw_qt_style} ${fw_bin}/styles
  COMMENT "Putting the DLLs beside the programs"
  VERBATIM)

install(FILES ${fw_runtime_dlls} DESTINATION .)
install(FILES ${fw_qt_platform} DESTINATION platforms)
install(FILES ${fw_qt_style} DESTINATION styles)
install(FILES ${FW_ART_DIR}/skin.bmp ${FW_ART_DIR}/skin@2x.bmp DESTINATION .)
install(FILES ${CMAKE_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt)

# The installer: NSIS (makensis), from the staged install.
find_program(FW_MAKENSIS makensis)
find_program(FW_MINGW_STRIP ${FW_MINGW_TRIPLET}-strip REQUIRED)
if(FW_MAKENSIS)
  set(FW_STAGE ${CMAKE_BINARY_DIR}/stage)
  set(FW_INSTALLER ${CMAKE_BINARY_DIR}/Framewright-${PROJECT_VERSION}-setup.exe)
  add_custom_target(installer
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${FW_STAGE}
    COMMAND ${CMAKE_COMMAND} --install ${CMAKE_BINARY_DIR} --prefix ${FW_STAGE}
    COMMAND ${CMAKE_COMMAND} -DSTAGE=${FW_STAGE} -DSTRIP=${FW_MINGW_STRIP}
            -P ${CMAKE_CURRENT_LIST_DIR}/StripStage.cmake
    COMMAND ${CMAKE_COMMAND} -DSTAGE=${FW_STAGE} -DOUT=${CMAKE_BINARY_DIR}
            -P ${CMAKE_CURRENT_LIST_DIR}/ListStage.cmake
    COMMAND ${FW_MAKENSIS} -V2 -DSTAGE=${FW_STAGE} -DLISTS=${CMAKE_BINARY_DIR} -DOUTFILE=${FW_INSTALLER}
            -DVERSION=${PROJECT_VERSION} ${CMAKE_CURRENT_LIST_DIR}/installer.nsi
    DEPENDS framewright kudoscope framewright-convert framewright-watch fw_art
    COMMENT "Making the installer ${FW_INSTALLER}"
    VERBATIM)
endif()
