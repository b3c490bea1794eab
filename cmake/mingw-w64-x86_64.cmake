# Cross-building the Windows programs on Linux with mingw-w64.
#
# The "-posix" compilers: the default win32-thread variant lacks std::mutex,
# which GoogleTest needs. Everything is linked statically, so each exe imports
# only system DLLs and runs from a folder of its own. Built programs run under
# wine, through a wrapper that prepares its prefix and server (wine_run.sh).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(MORV_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${MORV_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MORV_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${MORV_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${MORV_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

set(CMAKE_CROSSCOMPILING_EMULATOR
    ${CMAKE_CURRENT_LIST_DIR}/wine_run.sh --prefix ${CMAKE_BINARY_DIR}/wine-prefix)

# The tests' names are asked of the test programs when the tests run, not
# when they are built, so that building never starts wine: the tests may run
# under another user, whose wine cannot share a prefix or server with the
# builder's.
set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)
