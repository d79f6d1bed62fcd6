# Cross-compiles for 64-bit Windows with Debian's mingw-w64 (the posix thread
# model, which std::thread and Qt need). Used for our programs and for the
# libraries scripts/build-windows-deps.sh builds from Debian's sources.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(FW_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${FW_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${FW_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${FW_MINGW_TRIPLET}-windres)
set(CMAKE_AR ${FW_MINGW_TRIPLET}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB ${FW_MINGW_TRIPLET}-gcc-ranlib-posix CACHE FILEPATH "")

# Libraries and headers come from the mingw sysroot and from the prefixes
# given in FW_MINGW_PREFIXES (the dependency cache), never from the host.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${FW_MINGW_TRIPLET} ${FW_MINGW_PREFIXES})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# pkg-config answers from the prefixes only (libturbojpeg.pc).
set(fw_pkgconfig_dirs "")
foreach(prefix IN LISTS FW_MINGW_PREFIXES)
  list(APPEND fw_pkgconfig_dirs ${prefix}/lib/pkgconfig)
endforeach()
string(JOIN ":" fw_pkgconfig_path ${fw_pkgconfig_dirs})
set(ENV{PKG_CONFIG_LIBDIR} "${fw_pkgconfig_path}")
set(ENV{PKG_CONFIG_PATH} "")
# The try_compile projects CMake makes read this file again.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES FW_MINGW_PREFIXES)

# Test programs run through Wine.
find_program(FW_WINE NAMES wine wine64)
if(FW_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${FW_WINE})
endif()
