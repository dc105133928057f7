# The Debian package of the program: `make package` runs cpack in the build folder.
# Dependencies come from the binaries (dpkg-shlibdeps); the xcb platform plugin is loaded at run
# time, so no binary names it.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kestrelbench)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_CONTACT "The Kestrelbench developers <maintainers@users.noreply.c-seed-0caa919f.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "editor for the binary RBF data files of a game")
set(CPACK_PACKAGE_DESCRIPTION
    "Kestrelbench edits the binary RBF data files of a game through the text that a
command-line converter makes of them. Each opened file becomes a page with a
structure tree of the text's keys beside a text editor. It ships grindle, a
stand-in converter with an RBF format of its own.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION editors)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
# Packaging needs only the program and grindle, not every test: `make package` builds those two.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
include(CPack)
