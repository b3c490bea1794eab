# The release: a zip that holds the two programs, a README and the licence,
# so a player unpacks it into the folder that holds the game. "cpack" (or the
# "package" target) makes it, with the programs stripped. Each program carries
# a version resource, which Explorer shows in its Properties, its icon
# (cmake/windows/morv.ico, made by scripts/icon) and its manifest.
enable_language(RC)

function(morv_version_resource program description)
    set(MORV_PROGRAM ${program})
    set(MORV_PROGRAM_DESCRIPTION ${description})
    configure_file(${PROJECT_SOURCE_DIR}/cmake/version.rc.in
                   ${CMAKE_BINARY_DIR}/${program}_version.rc @ONLY)
    target_sources(${program} PRIVATE ${CMAKE_BINARY_DIR}/${program}_version.rc)
endfunction()

morv_version_resource(morvmake "morvmake: launch script and demo folder for a multiplayer demo")
morv_version_resource(morvplay "morvplay: plays a multiplayer demo from its launch script")

install(TARGETS morvmake morvplay RUNTIME DESTINATION .)

# A player's README and the licence, in the line ends Notepad expects; the
# build-oriented README.md is for those who build.
foreach(document cmake/windows/README.txt LICENSE)
    get_filename_component(name ${document} NAME_WE)
    configure_file(${PROJECT_SOURCE_DIR}/${document} ${CMAKE_BINARY_DIR}/${name}.txt
                   @ONLY NEWLINE_STYLE CRLF)
endforeach()
install(FILES ${CMAKE_BINARY_DIR}/README.txt ${CMAKE_BINARY_DIR}/LICENSE.txt DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME morv)
set(CPACK_PACKAGE_FILE_NAME morv-${PROJECT_VERSION}-windows-x64)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_STRIP_FILES ON)
set(CPACK_POST_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/windows/zip_in_order.cmake)
include(CPack)
