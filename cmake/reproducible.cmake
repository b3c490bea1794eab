# Two builds of one commit give the same bytes, in any folder and at any
# time: every time stamp of the release (the exes' PE headers, the .deb and
# the zip) is SOURCE_DATE_EPOCH, the builder's or else the last commit's date
# (or, from a source archive without git, the date of CMakeLists.txt).
if(DEFINED ENV{SOURCE_DATE_EPOCH})
    set(MORV_SOURCE_DATE_EPOCH $ENV{SOURCE_DATE_EPOCH})
else()
    find_package(Git QUIET)
    set(MORV_SOURCE_DATE_EPOCH "")
    if(GIT_EXECUTABLE)
        execute_process(COMMAND ${GIT_EXECUTABLE} log -1 --format=%ct
                        WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
                        OUTPUT_VARIABLE MORV_SOURCE_DATE_EPOCH
                        OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    endif()
    if(NOT MORV_SOURCE_DATE_EPOCH MATCHES "^[0-9]+$")
        file(TIMESTAMP ${PROJECT_SOURCE_DIR}/CMakeLists.txt MORV_SOURCE_DATE_EPOCH "%s" UTC)
    endif()
endif()

# The linker writes the PE header's time from it.
set_property(GLOBAL PROPERTY RULE_LAUNCH_LINK
             "${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${MORV_SOURCE_DATE_EPOCH}")
configure_file(${PROJECT_SOURCE_DIR}/cmake/cpack_project.cmake.in
               ${PROJECT_BINARY_DIR}/cpack_project.cmake @ONLY)
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_BINARY_DIR}/cpack_project.cmake)
