# morvplay end-to-end tests
morv_test(launcher_run_test LABELS e2e LIBRARIES morv_program_runner PROGRAMS morvplay dosbox_standin)
morv_test(launcher_commit_test LABELS e2e LIBRARIES morv_program_runner PROGRAMS morvplay)

# Launch spacing and the real DOSBox depend on how the emulator's processes
# start, which under wine is wine's and Linux's, not Windows's (what a Windows
# emulator receives is shown by the Windows stand-in: platform_win32_process_test
# and the release zip test). Both need the machine to themselves: other tests
# running beside them would shift the timing or share the IPX port.
morv_test(launcher_timing_test LABELS e2e emulator LIBRARIES morv_program_runner
          PROGRAMS morvplay dosbox_standin PROPERTIES RUN_SERIAL TRUE)
morv_test(launcher_dosbox_test LABELS e2e emulator LIBRARIES morv_program_runner
          PROGRAMS morvplay morvmake PROPERTIES RUN_SERIAL TRUE)
