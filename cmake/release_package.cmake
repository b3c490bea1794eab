# The release: a zip that holds the two programs and the README, nothing else,
# so a player unpacks it into the folder that holds the game. "cpack" (or the
# "package" target) makes it, with the programs stripped.
install(TARGETS morvmake morvplay RUNTIME DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME morv)
set(CPACK_PACKAGE_FILE_NAME morv-windows-x64)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_STRIP_FILES ON)
include(CPack)
