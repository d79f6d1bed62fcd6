# The converter's layers, each a folder and a target, and what each may
# include. A wrong include (the core reaching into the run, the command line
# into the window) fails the build, not just a review:
#   core       shared rules and readers, Qt Core only
#   platform   stand-ins for the platform services (core)
#   engine     the product's modules and the run (core, platform)
#   detection  the search for the game's folder (core)
#   window     the window FrmMain (everything but cli)
#   cli        framewright-convert (core, detection)
set(FW_LAYER_core core)
set(FW_LAYER_platform core,platform)
set(FW_LAYER_engine core,platform,engine)
set(FW_LAYER_detection core,detection)
set(FW_LAYER_window core,platform,engine,detection,window)
set(FW_LAYER_cli core,detection,cli)
set(FW_LAYER_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/CheckLayer.cmake)

# Checks the includes of every source in the target's folder before it is
# built, and again whenever one of them changes.
function(fw_check_layer target layer)
  get_target_property(dir ${target} SOURCE_DIR)
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${dir}/*.h ${dir}/*.cpp)
  set(stamp ${CMAKE_CURRENT_BINARY_DIR}/${target}.layer-checked)
  add_custom_command(OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} -DLAYER=${layer} -DALLOWED=${FW_LAYER_${layer}} -DDIR=${dir} -DSTAMP=${stamp}
            -P ${FW_LAYER_SCRIPT}
    DEPENDS ${sources} ${FW_LAYER_SCRIPT}
    COMMENT "Checking the includes of the ${layer} layer"
    VERBATIM)
  add_custom_target(${target}_layer_check DEPENDS ${stamp})
  add_dependencies(${target} ${target}_layer_check)
endfunction()
