# Run by cpack after it made the zip, whose entries come in the order the
# staging folder lists them, with their build, access and change times and
# the builder's modes: the zip is made again by Info-ZIP's zip from the same
# files, in name order, each dated with the release's time (SOURCE_DATE_EPOCH,
# set by cpack_project.cmake) in UTC, with a fixed mode and no extra fields.
find_program(MORV_ZIP zip)
if(NOT MORV_ZIP)
    message(WARNING "zip (Debian's zip) not found: the zip keeps cpack's order and times")
    return()
endif()
foreach(zip IN LISTS CPACK_PACKAGE_FILES)
    file(GLOB names RELATIVE ${CPACK_TEMPORARY_DIRECTORY} ${CPACK_TEMPORARY_DIRECTORY}/*)
    list(SORT names)
    foreach(name IN LISTS names)
        if(name MATCHES "\\.exe$")
            set(mode OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ
                     WORLD_EXECUTE)
        else()
            set(mode OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
        endif()
        file(CHMOD ${CPACK_TEMPORARY_DIRECTORY}/${name} PERMISSIONS ${mode})
    endforeach()
    file(REMOVE ${zip})
    execute_process(COMMAND touch -d @$ENV{SOURCE_DATE_EPOCH} -- ${names}
                    COMMAND ${CMAKE_COMMAND} -E env TZ=UTC ${MORV_ZIP} -q -X -D -9 ${zip} -- ${names}
                    WORKING_DIRECTORY ${CPACK_TEMPORARY_DIRECTORY} RESULTS_VARIABLE results)
    if(NOT results MATCHES "^0;0$")
        message(FATAL_ERROR "the zip ${zip} could not be made again in name order: ${results}")
    endif()
endforeach()
