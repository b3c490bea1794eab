# Stress tests: fault injection, crash safety and hostile inputs, each run as a
# user would run the built programs. The faults are POSIX ones (/dev/full, file
# size limits, signals, pseudo-terminals), so the runner reaches them through
# a library of their own name and they are not repeated for the Windows
# programs under wine. Some take many seconds and load the memory or both
# cores, so they run one at a time.
add_library(morv_stress_runner INTERFACE)
target_link_libraries(morv_stress_runner INTERFACE morv_program_runner)

function(morv_stress_test name)
    add_executable(${name} ${name}.cpp)
    target_link_libraries(${name} PRIVATE morv_stress_runner GTest::gtest_main)
    add_dependencies(${name} ${ARGN})
    gtest_discover_tests(${name}
        DISCOVERY_TIMEOUT 60
        PROPERTIES ENVIRONMENT "MORV_TEST_PROGRAMS=${CMAKE_BINARY_DIR}/bin" RUN_SERIAL TRUE
                   TIMEOUT 300)
endfunction()

morv_stress_test(stress_commit_kill_test morvplay)
morv_stress_test(stress_full_disk_test morvmake morvplay)
morv_stress_test(stress_hostile_test morvmake morvplay)
morv_stress_test(stress_no_shell_test morvmake morvplay)
morv_stress_test(stress_typed_test morvmake)

# The COMMIT.DAT update one at a time (40 runs at once) and durable (its
# flushes and rename in order, seen through strace): Linux only, as above.
morv_stress_test(stress_commit_concurrent_test morvplay)
morv_stress_test(stress_commit_flush_test morvplay)
