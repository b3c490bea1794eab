# morvplay end-to-end tests
morv_end_to_end_test(launcher_run_test morvplay dosbox_standin)
morv_end_to_end_test(launcher_commit_test morvplay)

# Launch spacing and the real emulator need the machine to themselves: other
# tests running beside them would shift the timing or share the IPX port.
function(morv_serial_end_to_end_test name)
    add_executable(${name} ${name}.cpp)
    target_link_libraries(${name} PRIVATE morv_program_runner GTest::gtest_main)
    add_dependencies(${name} ${ARGN})
    gtest_discover_tests(${name}
        DISCOVERY_TIMEOUT 60
        PROPERTIES ENVIRONMENT "MORV_TEST_PROGRAMS=${CMAKE_BINARY_DIR}/bin" RUN_SERIAL TRUE)
endfunction()

morv_serial_end_to_end_test(launcher_timing_test morvplay dosbox_standin)
morv_serial_end_to_end_test(launcher_dosbox_test morvplay morvmake)
