# morv_test(<name> LABELS <label>... [SOURCES <file>...] [LIBRARIES <target>...]
#           [PROGRAMS <target>...] [COMMAND <argument>...] [PROPERTIES <name> <value>...])
# Builds <name>.cpp and SOURCES with LIBRARIES and GoogleTest's main and registers
# its cases, or registers COMMAND as one test. PROGRAMS are the built programs it
# runs. Labels: unit, e2e (built programs run as a user runs them), terminal
# (tmux), stress (POSIX faults), emulator (depends on how the emulator's processes
# start), wine, fuzz. An e2e test without emulator is also run as windows.<case>
# against the Windows programs under wine when MORV_WINDOWS_PROGRAMS is set.
set(MORV_TEST_LABELS unit e2e terminal stress emulator wine fuzz)
set(MORV_WINDOWS_PROGRAMS "" CACHE PATH "bin folder of a Windows build, for its tests under wine")

function(morv_test name)
    cmake_parse_arguments(PARSE_ARGV 1 test "" "" "LABELS;SOURCES;LIBRARIES;PROGRAMS;COMMAND;PROPERTIES")
    if(NOT test_LABELS)
        message(FATAL_ERROR "morv_test(${name}): no LABELS")
    endif()
    foreach(label IN LISTS test_LABELS)
        if(NOT label IN_LIST MORV_TEST_LABELS)
            message(FATAL_ERROR "morv_test(${name}): unknown label ${label}")
        endif()
    endforeach()

    if(test_COMMAND)
        add_test(NAME ${name} COMMAND ${test_COMMAND})
        set_tests_properties(${name} PROPERTIES LABELS "${test_LABELS}" ${test_PROPERTIES})
        return()
    endif()

    add_executable(${name} ${name}.cpp ${test_SOURCES})
    target_link_libraries(${name} PRIVATE ${test_LIBRARIES} GTest::gtest_main)
    # g++ 12 at -O3 reports false -Wrestrict inside std::string's inlined
    # assignments, which tests make by the hundred; the programs keep it.
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
        target_compile_options(${name} PRIVATE -Wno-restrict)
    endif()
    set(properties ${test_PROPERTIES})
    if(test_PROGRAMS)
        add_dependencies(${name} ${test_PROGRAMS})
        list(APPEND properties ENVIRONMENT "MORV_TEST_PROGRAMS=${CMAKE_BINARY_DIR}/bin")
    endif()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 TEST_LIST ${name}_TESTS
                         PROPERTIES ${properties})
    # Discovered tests take list values (several labels, an environment)
    # badly, so those are set by a script that ctest reads after the tests.
    string(CONCAT script "if(${name}_TESTS)\n"
        "    set_tests_properties(\${${name}_TESTS} PROPERTIES LABELS \"${test_LABELS}\")\n"
        "endif()\n")

    if(MORV_WINDOWS_PROGRAMS AND "e2e" IN_LIST test_LABELS AND NOT "emulator" IN_LIST test_LABELS)
        # The same cases, the programs started as <name>.exe through wine. Wine
        # programs share one server and the machine's cores: one at a time.
        gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 TEST_LIST ${name}_WINDOWS_TESTS
                             TEST_PREFIX "windows." PROPERTIES ${test_PROPERTIES} RUN_SERIAL TRUE)
        set(environment
            "MORV_TEST_PROGRAMS=${MORV_WINDOWS_PROGRAMS}"
            "MORV_TEST_PROGRAM_SUFFIX=.exe"
            "MORV_TEST_EMULATOR=${PROJECT_SOURCE_DIR}/cmake/wine_run.sh"
            "WINEPREFIX=${CMAKE_BINARY_DIR}/wine-prefix")
        string(APPEND script "if(${name}_WINDOWS_TESTS)\n"
            "    set_tests_properties(\${${name}_WINDOWS_TESTS} PROPERTIES\n"
            "        LABELS \"wine;${test_LABELS}\"\n"
            "        ENVIRONMENT \"${environment}\" FIXTURES_REQUIRED windows_wine)\n"
            "endif()\n")
    endif()

    set(script_file ${CMAKE_CURRENT_BINARY_DIR}/${name}_properties.cmake)
    file(WRITE ${script_file} "${script}")
    set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${script_file})
endfunction()
