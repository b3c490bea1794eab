# morvmake end-to-end tests
morv_test(generator_spine_test LABELS e2e LIBRARIES morv_program_runner PROGRAMS morvmake)
morv_test(generator_match_test LABELS e2e LIBRARIES morv_program_runner PROGRAMS morvmake)
morv_test(generator_intake_test LABELS e2e LIBRARIES morv_program_runner PROGRAMS morvmake)
morv_test(generator_script_error_test LABELS e2e LIBRARIES morv_program_runner PROGRAMS morvmake)
# --help and --version of both programs
morv_test(program_options_test LABELS e2e LIBRARIES morv_program_runner morv_version
          PROGRAMS morvmake morvplay)
