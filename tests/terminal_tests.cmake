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
endif()

# What the screen shows of a typed answer against what morvmake keeps of it.
if(NOT WIN32)
    foreach(terminal_case IN ITEMS resize resize_wrapped suspend wide dumb no_term no_color
                                   full_row clear_screen)
        add_test(NAME terminal.screen.${terminal_case}
                 COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/terminal_screen_test.sh
                         ${terminal_case} $<TARGET_FILE:morvmake>)
        set_tests_properties(terminal.screen.${terminal_case} PROPERTIES TIMEOUT 60)
    endforeach()
endif()
