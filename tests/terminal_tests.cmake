# Terminal tests: the console layer and morvmake run in a real terminal under
# tmux, typed at with send-keys and read back with capture-pane.
if(NOT WIN32)
    foreach(terminal_case IN ITEMS editing long_line type_ahead colours key_wait restore utf8)
        morv_test(terminal.${terminal_case} LABELS terminal
                  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/terminal_test.sh
                          ${terminal_case} $<TARGET_FILE:console_probe>
                  PROPERTIES TIMEOUT 60)
    endforeach()

    foreach(terminal_case IN ITEMS closing_summary hangup)
        morv_test(terminal.morvmake.${terminal_case} LABELS terminal
                  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/terminal_generator_test.sh
                          ${terminal_case} $<TARGET_FILE:morvmake>
                  PROPERTIES TIMEOUT 60)
    endforeach()

    # Alt combinations, CR LF, Linux console F-keys and a shell's Ctrl keys.
    foreach(terminal_case IN ITEMS alt_keys crlf linux_function_keys ctrl_keys)
        morv_test(terminal.keys.${terminal_case} LABELS terminal
                  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/terminal_keys_test.sh
                          ${terminal_case} $<TARGET_FILE:morvmake>
                  PROPERTIES TIMEOUT 60)
    endforeach()
    # The same with the Windows morvmake under wine (its wrapper and the
    # windows_wine fixture are made in tests/CMakeLists.txt). Left out:
    # linux_function_keys, since wine's console turns the Linux console's
    # ESC [ [ A into the events of Alt+[, [ and A, as it would the keys typed
    # so, and a Windows program takes an Alt key as a key of its own.
    if(MORV_WINDOWS_PROGRAMS)
        foreach(terminal_case IN ITEMS alt_keys crlf ctrl_keys)
            morv_test(windows.terminal.keys.${terminal_case} LABELS terminal wine
                      COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/terminal_keys_test.sh
                              ${terminal_case} ${CMAKE_CURRENT_BINARY_DIR}/morvmake_wine
                      PROPERTIES ENVIRONMENT "MORV_TERMINAL_CONSOLE=wine"
                                 FIXTURES_REQUIRED windows_wine RUN_SERIAL TRUE TIMEOUT 300)
        endforeach()
    endif()
endif()

# What the screen shows of a typed answer against what morvmake keeps of it.
if(NOT WIN32)
    foreach(terminal_case IN ITEMS resize resize_wrapped suspend wide dumb no_term no_color
                                   full_row clear_screen file_output emoji clear_resize
                                   tall_answer)
        morv_test(terminal.screen.${terminal_case} LABELS terminal
                  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/terminal_screen_test.sh
                          ${terminal_case} $<TARGET_FILE:morvmake>
                  PROPERTIES TIMEOUT 60)
    endforeach()
endif()

# The columns the line editor counts against those tmux draws.
if(NOT WIN32)
    morv_test(terminal.screen.widths LABELS terminal
              COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/terminal_width_test.sh
                      $<TARGET_FILE:console_probe>
              PROPERTIES TIMEOUT 60)
endif()
