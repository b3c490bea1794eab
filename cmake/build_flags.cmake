# Flags of the builds that users and packagers install. With MORV_HARDENING
# (the release presets) the programs get the hardening a distribution asks
# for, each where the compiler has it; a packager's own CXXFLAGS, CPPFLAGS and
# LDFLAGS come after these on the command line (the release presets put them
# into CMAKE_CXX_FLAGS_RELEASE and CMAKE_EXE_LINKER_FLAGS), so theirs win.
# Build paths never reach the programs: every build of one commit gives the
# same bytes wherever its folder is.
include(CheckCXXCompilerFlag)

option(MORV_HARDENING "Build with stack protection, fortified calls and a read-only GOT" OFF)

if(NOT MSVC)
    check_cxx_compiler_flag(-ffile-prefix-map=a=b MORV_HAS_FILE_PREFIX_MAP)
    if(MORV_HAS_FILE_PREFIX_MAP)
        add_compile_options(-ffile-prefix-map=${PROJECT_SOURCE_DIR}/=
                            -ffile-prefix-map=${PROJECT_BINARY_DIR}/=)
    endif()
endif()

if(MORV_HARDENING AND NOT MSVC AND NOT WIN32)
    set(hardening -D_FORTIFY_SOURCE=2 -fstack-protector-strong)
    foreach(flag IN ITEMS -fstack-clash-protection -fcf-protection)
        string(MAKE_C_IDENTIFIER "MORV_HAS${flag}" known)
        check_cxx_compiler_flag(${flag} ${known})
        if(${known})
            list(APPEND hardening ${flag})
        endif()
    endforeach()
    list(JOIN hardening " " hardening)
    # Before the packager's flags, which the release presets keep in the
    # cache variables.
    set(CMAKE_CXX_FLAGS "${hardening} ${CMAKE_CXX_FLAGS}")
    set(CMAKE_EXE_LINKER_FLAGS "-Wl,-z,relro -Wl,-z,now ${CMAKE_EXE_LINKER_FLAGS}")
endif()
