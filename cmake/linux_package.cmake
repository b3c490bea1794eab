# Installing on Linux and the Debian package: the two programs, their manual
# pages, the README, desktop entries and MIME types, in the places
# GNUInstallDirs gives. "cmake --install" installs them; "cpack --preset linux" makes the .deb from the release build.
include(GNUInstallDirs)

install(TARGETS morvmake morvplay RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# Manual pages carry the project's version and are installed compressed, as
# man reads them and Debian wants them (gzip -n: no name or time inside, so
# the same sources give the same bytes).
set(MORV_PACKAGE_MAINTAINER "morv developers <morv@example.org>"
    CACHE STRING "Maintainer of the Debian package")
find_program(MORV_GZIP gzip)

# Copies source (a path below the project) into the build with the version
# filled in, compressed where gzip exists; the result's path goes to out.
function(morv_versioned_file source out)
    get_filename_component(name ${source} NAME)
    string(REGEX REPLACE "\\.in$" "" name ${name})
    set(copy ${CMAKE_BINARY_DIR}/installed/${name})
    configure_file(${PROJECT_SOURCE_DIR}/${source} ${copy} @ONLY)
    if(MORV_GZIP)
        add_custom_command(OUTPUT ${copy}.gz
            COMMAND ${MORV_GZIP} -n -9 -c ${name} > ${name}.gz
            DEPENDS ${copy}
            WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/installed VERBATIM)
        set(copy ${copy}.gz)
    endif()
    set(${out} ${copy} PARENT_SCOPE)
endfunction()

morv_versioned_file(generator/morvmake.1 morvmake_page)
morv_versioned_file(launcher/morvplay.1 morvplay_page)
morv_versioned_file(cmake/debian/changelog.in changelog)
add_custom_target(installed_documents ALL DEPENDS ${morvmake_page} ${morvplay_page} ${changelog})

install(FILES ${morvmake_page} ${morvplay_page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/cmake/debian/copyright
        DESTINATION ${CMAKE_INSTALL_DOCDIR})

# "Open with" in a file manager: the entries change into the file's folder,
# the game's folder, in a terminal. dpkg's triggers update the desktop and
# MIME databases, so the package needs no maintainer scripts.
install(FILES ${PROJECT_SOURCE_DIR}/cmake/linux/morvmake.desktop
              ${PROJECT_SOURCE_DIR}/cmake/linux/morvplay.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/cmake/linux/morv.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)

# Files that only a Debian package has: a plain "cmake --install" leaves them
# out, the package installs them as a component of their own.
install(FILES ${changelog} DESTINATION ${CMAKE_INSTALL_DOCDIR}
        COMPONENT debian EXCLUDE_FROM_ALL)
install(FILES ${PROJECT_SOURCE_DIR}/cmake/debian/lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME morv
        COMPONENT debian EXCLUDE_FROM_ALL)
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};morv;ALL;/" "${CMAKE_BINARY_DIR};morv;debian;/")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME morv)
set(CPACK_PACKAGE_VENDOR "morv developers")
set(CPACK_PACKAGE_CONTACT ${MORV_PACKAGE_MAINTAINER})
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS dosbox)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY ${PROJECT_DESCRIPTION})
set(CPACK_PACKAGE_DESCRIPTION
"A multiplayer demo of the game replays only when as many networked copies
of the game run as the match had players, each as its own player.

morvmake asks about a demo (players, map or level, names, colours, kills),
writes a launch script and gathers the demo, the launch script and the map
into a folder named after the match. morvplay reads a launch script, sets
the player count in the game's COMMIT.DAT and starts one DOSBox per player.")
include(CPack)
