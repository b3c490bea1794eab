# Terminal tests: the console layer and morvmake run in a real terminal under
# tmux, typed at with send-keys and read back with capture-pane.
add_executable(console_probe console_probe.cpp)
target_link_libraries(console_probe PRIVATE morv_common)

if(NOT WIN32)
    foreach(terminal_case IN ITEMS editing long_line type_ahead colours key_wait restore utf8)
        morv_test(terminal.${terminal_case} LABELS terminal
                  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/terminal_test.sh
                          ${terminal_case} $<TARGET_FILE:console_probe>
                  PROPERTIES TIMEOUT 60)
    endforeach()

    foreach(terminal_case IN ITEMS closing_summary)
        morv_test(terminal.morvmake.${terminal_case} LABELS terminal
                  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/terminal_generator_test.sh
                          ${terminal_case} $<TARGET_FILE:morvmake>
                  PROPERTIES TIMEOUT 60)
    endforeach()
endif()
