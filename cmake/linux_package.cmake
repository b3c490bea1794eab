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

# Copies source (a path below the project) into the build, with the version
# filled in unless AS_IS follows, compressed where gzip exists; the result's
# path goes to out.
function(morv_versioned_file source out)
    get_filename_component(name ${source} NAME)
    set(copy ${CMAKE_BINARY_DIR}/installed/${name})
    if(ARGV2 STREQUAL "AS_IS")
        configure_file(${PROJECT_SOURCE_DIR}/${source} ${copy} COPYONLY)
    else()
        configure_file(${PROJECT_SOURCE_DIR}/${source} ${copy} @ONLY)
    endif()
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
# The changelog is kept by hand, one entry per release; its top entry names
# the project's version (the package test checks it).
morv_versioned_file(cmake/debian/changelog changelog AS_IS)
add_custom_target(installed_documents ALL DEPENDS ${morvmake_page} ${morvplay_page} ${changelog})

install(FILES ${morvmake_page} ${morvplay_page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The installed README is for someone who has the programs: what is marked
# in README.md as about the source (building, testing, the Windows build) is
# left out.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/README.md)
file(READ ${PROJECT_SOURCE_DIR}/README.md readme)
set(installed_readme "")
while(TRUE)
    string(FIND "${readme}" "<!-- source -->\n" start)
    if(start EQUAL -1)
        break()
    endif()
    string(SUBSTRING "${readme}" 0 ${start} kept)
    string(APPEND installed_readme "${kept}")
    string(FIND "${readme}" "<!-- /source -->\n" end)
    if(end LESS start)
        message(FATAL_ERROR "README.md: <!-- source --> without its <!-- /source -->")
    endif()
    math(EXPR end "${end} + 17")
    string(SUBSTRING "${readme}" ${end} -1 readme)
endwhile()
file(WRITE ${CMAKE_BINARY_DIR}/installed/README.md "${installed_readme}${readme}")
install(FILES ${CMAKE_BINARY_DIR}/installed/README.md ${PROJECT_SOURCE_DIR}/cmake/debian/copyright
        DESTINATION ${CMAKE_INSTALL_DOCDIR})

# "Open with" in a file manager: the entries change into the file's folder,
# the game's folder, in a terminal. dpkg's triggers update the desktop and
# MIME databases, so the package needs no maintainer scripts.
install(FILES ${PROJECT_SOURCE_DIR}/cmake/linux/morvmake.desktop
              ${PROJECT_SOURCE_DIR}/cmake/linux/morvplay.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/cmake/linux/morv.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)

# Installed into a live prefix (no DESTDIR), the MIME and desktop databases
# there are refreshed, so "Open with" offers the programs at once. A staged
# install (DESTDIR, or cpack's for the package) leaves that to dpkg's
# triggers.
install(CODE "set(MORV_DATADIR \"${CMAKE_INSTALL_DATADIR}\")")
install(CODE [[
if("$ENV{DESTDIR}" STREQUAL "" AND "$ENV{MORV_PACKAGE_STAGING}" STREQUAL "")
    foreach(refresh IN ITEMS "update-mime-database;mime" "update-desktop-database;applications")
        list(GET refresh 0 tool)
        list(GET refresh 1 folder)
        find_program(MORV_REFRESH_${tool} ${tool})
        if(MORV_REFRESH_${tool})
            message(STATUS "Refreshing: ${CMAKE_INSTALL_PREFIX}/${MORV_DATADIR}/${folder}")
            execute_process(COMMAND ${MORV_REFRESH_${tool}} ${CMAKE_INSTALL_PREFIX}/${MORV_DATADIR}/${folder})
        endif()
    endforeach()
endif()
]])

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
