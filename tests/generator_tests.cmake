# morvmake end-to-end tests
morv_end_to_end_test(generator_spine_test morvmake)
morv_end_to_end_test(generator_match_test morvmake)
morv_end_to_end_test(generator_intake_test morvmake)
morv_end_to_end_test(generator_script_error_test morvmake)
# --help and --version of both programs
morv_end_to_end_test(program_options_test morvmake morvplay)
target_link_libraries(program_options_test PRIVATE morv_rules)
