# The release build as users get it: installed with "cmake --install" and
# packaged as a .deb. With MORV_RELEASE_BUILD naming the build folder of the
# release preset (after "cpack --preset linux" there), its install and its
# package are checked.
# This build installed as a user installs it, and its desktop entries started
# as a file manager starts them.
morv_test(install.desktop_entries LABELS e2e
          COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/desktop_install_test.sh ${CMAKE_BINARY_DIR}
                  $<TARGET_FILE:dosbox_standin>
          PROPERTIES TIMEOUT 120)

# The packagers' preset takes their flags from the environment.
morv_test(release.packager_flags LABELS e2e
          COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/release_flags_test.sh ${PROJECT_SOURCE_DIR}
          PROPERTIES TIMEOUT 120)

# shellcheck on every shell script, and their executable bits.
morv_test(source.shell_scripts LABELS unit
          COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/shell_scripts_test.sh ${PROJECT_SOURCE_DIR})

set(MORV_RELEASE_BUILD "" CACHE PATH "build folder of the release preset, for its install and package tests")
if(MORV_RELEASE_BUILD)
    morv_test(release.install LABELS e2e
              COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/release_install_test.sh ${MORV_RELEASE_BUILD}
                      $<TARGET_FILE:dosbox_standin> $<TARGET_FILE:generator_match_test> $<TARGET_FILE:launcher_run_test>
              PROPERTIES TIMEOUT 300)
    # Two whole release builds of the last commit: run alone, they use every core.
    morv_test(release.reproducible LABELS e2e
              COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/release_reproducible_test.sh ${PROJECT_SOURCE_DIR}
              PROPERTIES TIMEOUT 1200 RUN_SERIAL TRUE)
    morv_test(release.debian_package LABELS e2e
              COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/debian_package_test.sh
                      ${MORV_RELEASE_BUILD}/morv_${PROJECT_VERSION}_amd64.deb ${PROJECT_VERSION}
              PROPERTIES TIMEOUT 300)
endif()
