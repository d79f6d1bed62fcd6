# What an install holds, and how it becomes a Debian package.
#
#   bin/                         the programs; each target installs itself
#   share/framewright/           the skin (looked for beside the program
#                                first, then here: converter/window/DataFile.h)
#   share/applications/, share/metainfo/, share/icons/hicolor/, share/man/man1/
#
# `cmake --install <build> --prefix ~/.local` and the package (prefix /usr)
# give the same layout. `make package` builds the package and checks it
# (scripts/check-package.sh).
include(GNUInstallDirs)

set(FW_APP_ID org.framewright.Framewright)
set(FW_DATA ${CMAKE_CURRENT_LIST_DIR}/../data)

install(FILES ${FW_ART_DIR}/skin.bmp DESTINATION ${CMAKE_INSTALL_DATADIR}/framewright)
install(FILES ${FW_DATA}/${FW_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${FW_DATA}/${FW_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(DIRECTORY ${FW_ART_DIR}/icons/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
install(FILES ${FW_DATA}/man/framewright.1 ${FW_DATA}/man/kudoscope.1
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME framewright)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Quenk <framewright@quenk.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "convert Half-Life screenshots into JPEG files")
set(CPACK_PACKAGE_DESCRIPTION
    "Framewright turns the bitmap screenshots that Half-Life writes into numbered
JPEG files of a chosen quality, from one small skinned window. An existing
JPEG file is never overwritten, and each bitmap can be deleted once its
JPEG file is safely written. It finds the game's screenshots in a Wine
prefix or a Steam library by itself.
.
The package also holds Kudoscope, the credits viewer drawn with OpenGL.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Directories in the package are 0755 whatever the builder's umask.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://quenk.example.org/framewright/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window's font stand-in (README, "Fonts").
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS fonts-dejavu-extra)

# Stripping, Debian's own files (copyright, changelog) and compressed
# manual pages are done on the staged tree just before it is packed.
set(CPACK_FW_DEBIAN_DIR ${CMAKE_CURRENT_LIST_DIR}/../data/debian)
set(CPACK_FW_STRIP ${CMAKE_STRIP})
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/DebianFiles.cmake)

include(CPack)
