# Stress tests: fault injection, crash safety and hostile inputs, each run as a
# user would run the built programs. The faults are POSIX ones (/dev/full, file
# size limits, signals, pseudo-terminals), so they are not repeated for the
# Windows programs under wine. Some take many seconds and load the memory or
# both cores, so they run one at a time.
set(stress LABELS stress LIBRARIES morv_program_runner PROPERTIES RUN_SERIAL TRUE TIMEOUT 300)
morv_test(stress_commit_kill_test ${stress} PROGRAMS morvplay)
morv_test(stress_full_disk_test ${stress} PROGRAMS morvmake morvplay)
morv_test(stress_hostile_test ${stress} PROGRAMS morvmake morvplay)
morv_test(stress_no_shell_test ${stress} PROGRAMS morvmake morvplay dosbox_standin)
morv_test(stress_typed_test ${stress} PROGRAMS morvmake)

# The COMMIT.DAT update one at a time (40 runs at once) and durable (its
# flushes and rename in order, seen through strace): Linux only, as above.
morv_test(stress_commit_concurrent_test ${stress} PROGRAMS morvplay)
morv_test(stress_commit_flush_test ${stress} PROGRAMS morvplay)

# Links, owners, modes, FIFOs, devices and a full tmpfs under the names both
# programs use.
morv_test(stress_hostile_folder_test ${stress} PROGRAMS morvmake morvplay)
# One strace fault of each class (read errors, a full disk, interrupted calls).
morv_test(stress_fault_injection_test ${stress} PROGRAMS morvplay)
