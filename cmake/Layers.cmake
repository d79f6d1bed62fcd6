# The converter's layers, each a folder and a target, and what each may
# include. A wrong include (the core reaching into the run, the command line
# into the window) fails the build, not just a review:
#   core       shared rules and readers, Qt Core only
#   platform   stand-ins for the platform services (core)
#   engine     the product's modules and the run (core, platform)
#   detection  the search for the game's folder (core)
#   window     the window FrmMain (everything but cli) and the artwork
#   cli        framewright-convert (core, detection)
#   viewer     kudoscope: nothing of the converter, the makers' facts (art)
# The artwork's headers (art/*.h, included by bare name) are the layer `art`.
# Tests and benchmarks follow the layer of their folder (tests/engine is
# engine); they may draw sample pictures with the artwork too.
set(FW_LAYER_core core)
set(FW_LAYER_platform core,platform)
set(FW_LAYER_engine core,platform,engine)
set(FW_LAYER_detection core,detection)
set(FW_LAYER_window core,platform,engine,detection,window,art)
set(FW_LAYER_cli core,detection,cli)
set(FW_LAYER_viewer art)
set(FW_LAYER_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/CheckLayer.cmake)
set(FW_ART_SOURCE_DIR ${CMAKE_CURRENT_LIST_DIR}/../art)

# A target `name` that checks the includes of every source under dir against
# the layer's rule, before anything that depends on it is built and again
# whenever a source changes. `extra` adds layers to the rule.
function(fw_check_includes name layer dir extra)
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${dir}/*.h ${dir}/*.cpp)
  file(GLOB art_headers CONFIGURE_DEPENDS ${FW_ART_SOURCE_DIR}/*.h)
  set(stamp ${CMAKE_CURRENT_BINARY_DIR}/${name}.layer-checked)
  set(allowed ${FW_LAYER_${layer}})
  if(extra)
    set(allowed ${allowed},${extra})
  endif()
  add_custom_command(OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} -DLAYER=${layer} -DALLOWED=${allowed} -DDIR=${dir} -DART=${FW_ART_SOURCE_DIR}
            -DSTAMP=${stamp} -P ${FW_LAYER_SCRIPT}
    DEPENDS ${sources} ${art_headers} ${FW_LAYER_SCRIPT}
    COMMENT "Checking the includes of ${dir}"
    VERBATIM)
  add_custom_target(${name} ALL DEPENDS ${stamp})
endfunction()

# Checks the includes of the target's own folder.
function(fw_check_layer target layer)
  get_target_property(dir ${target} SOURCE_DIR)
  fw_check_includes(${target}_layer_check ${layer} ${dir} "")
  add_dependencies(${target} ${target}_layer_check)
endfunction()

# Checks a folder of tests or benchmarks named after a layer (tests/engine).
function(fw_check_tests_of dir)
  get_filename_component(layer ${dir} NAME)
  get_filename_component(kind ${dir} DIRECTORY)
  get_filename_component(kind ${kind} NAME)
  fw_check_includes(${kind}_${layer}_layer_check ${layer} ${dir} art)
endfunction()
