# Terminal tests: the console layer and morvmake run in a real terminal under
# tmux, typed at with send-keys and read back with capture-pane.
add_executable(console_probe console_probe.cpp)
target_link_libraries(console_probe PRIVATE morv_common)

if(NOT WIN32)
    foreach(terminal_case IN ITEMS editing long_line type_ahead colours key_wait restore utf8)
        add_test(NAME terminal.${terminal_case}
                 COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/terminal_test.sh
                         ${terminal_case} $<TARGET_FILE:console_probe>)
        set_tests_properties(terminal.${terminal_case} PROPERTIES TIMEOUT 60)
    endforeach()

    foreach(terminal_case IN ITEMS closing_summary)
        add_test(NAME terminal.morvmake.${terminal_case}
                 COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/terminal_generator_test.sh
                         ${terminal_case} $<TARGET_FILE:morvmake>)
        set_tests_properties(terminal.morvmake.${terminal_case} PROPERTIES TIMEOUT 60)
    endforeach()

    # Alt combinations, CR LF, Linux console F-keys and a shell's Ctrl keys.
    foreach(terminal_case IN ITEMS alt_keys crlf linux_function_keys ctrl_keys)
        add_test(NAME terminal.keys.${terminal_case}
                 COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/terminal_keys_test.sh
                         ${terminal_case} $<TARGET_FILE:morvmake>)
        set_tests_properties(terminal.keys.${terminal_case} PROPERTIES TIMEOUT 60)
    endforeach()
    # The same with the Windows morvmake under wine (its wrapper and the
    # windows_wine fixture are made in tests/CMakeLists.txt).
    if(MORV_WINDOWS_PROGRAMS)
        foreach(terminal_case IN ITEMS alt_keys crlf linux_function_keys ctrl_keys)
            add_test(NAME windows.terminal.keys.${terminal_case}
                     COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/terminal_keys_test.sh
                             ${terminal_case} ${CMAKE_CURRENT_BINARY_DIR}/morvmake_wine)
            set_tests_properties(windows.terminal.keys.${terminal_case} PROPERTIES
                ENVIRONMENT "MORV_TERMINAL_CONSOLE=wine"
                FIXTURES_REQUIRED windows_wine RUN_SERIAL TRUE TIMEOUT 300)
        endforeach()
    endif()
endif()
