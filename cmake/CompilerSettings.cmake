option(FW_WERROR "Turn every warning of our own targets into an error (CI)" OFF)

# Warnings for our own targets only; third-party headers come in as SYSTEM.
function(fw_target_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
  if(FW_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

if(FW_SANITIZE)
  # -fno-sanitize-recover turns every UBSan report into a failing test.
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

if(FW_FUZZ)
  # Coverage feedback for libFuzzer in every library; only the fuzz target
  # links libFuzzer's main().
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined
                      -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
