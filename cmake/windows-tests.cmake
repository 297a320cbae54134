# The unit tests of the libraries that need no host, cross-built for Windows and run by ctest
# through Wine (CMAKE_CROSSCOMPILING_EMULATOR, tools/wine-run.sh): make test-windows.
# GoogleTest is built from the sources Debian ships (libgtest-dev) with the same tool chain.
set(TARVOSK_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest's sources")
# Every test program is one .exe that needs no DLL beyond the system's.
add_link_options(-static)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${TARVOSK_GTEST_SOURCE} ${PROJECT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
# (googletest names its targets GTest::gtest and GTest::gtest_main itself.)

enable_testing()
include(GoogleTest)
# Listing the tests runs each program once, under Wine: at test time, not at every build.
set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)
add_subdirectory(tests/platform)
add_subdirectory(tests/objformat)
add_subdirectory(tests/config)
add_subdirectory(tests/windows_kill)
add_subdirectory(tests/render)
add_subdirectory(tests/pushback)
add_subdirectory(tests/shell)
add_subdirectory(tests/panels)
add_subdirectory(tests/simhost)
# The programs that run the host in-process import its SDK functions from XPLM_64.dll: they
# live beside it and XPWidgets_64.dll, where Windows looks first, as tarvosk-sim.exe does.
set(_host_tests shell_host_tests tarvosk_pushback_host_tests panels_tests simhost_tests)
set_target_properties(${_host_tests} PROPERTIES RUNTIME_OUTPUT_DIRECTORY
  ${PROJECT_BINARY_DIR}/simhost)
foreach(_test ${_host_tests})
  add_dependencies(${_test} simhost_xpwidgets)
endforeach()
add_custom_target(tarvosk_windows_tests
  DEPENDS platform_tests objformat_tests config_tests kill_windows_tests render_tests
          tarvosk_pushback_math_tests shell_tests ${_host_tests} tarvosk-sim simhost_xpwidgets
          Tarvosk)

# The Windows plug-in in the simulated host built for Windows: every scenario, the demo in the
# package's layout (Tarvosk/win_x64/), a scenario with pictures read from, run in and written
# to folders with German, Greek and CJK letters (tools/test-windows.sh checks their names on
# disk afterwards), and ten thousand random operations. The data folder is platform-neutral: the one a
# Linux build generates (make test-windows points here at build/dev's).
set(TARVOSK_CONTENT_DIR "" CACHE PATH "The generated data folder (a Linux build's content/Tarvosk)")
if(TARVOSK_CONTENT_DIR)
  set(_out ${PROJECT_BINARY_DIR}/windows-runs)
  foreach(scenario demo demo-xp12 windows foundation/first_run foundation/old_simulator
          foundation/missing_dataref foundation/persistence foundation/fat_layout
          pushback/old_simulator pushback/slow_frames render/tug_and_cart render/headings manual
          demo-traffic traffic/hold_behind traffic/old_simulator traffic/tow_and_span)
    string(REPLACE "/" "." name ${scenario})
    add_test(NAME windows.scenario.${name}
      COMMAND tarvosk-sim --plugin $<TARGET_FILE:Tarvosk> --content ${TARVOSK_CONTENT_DIR}
              --out ${_out}/${name} --quiet ${PROJECT_SOURCE_DIR}/scenarios/${scenario}.txt)
  endforeach()
  add_test(NAME windows.scenario.demo_fat_layout
    COMMAND tarvosk-sim --plugin $<TARGET_FILE:Tarvosk> --layout fat
            --content ${TARVOSK_CONTENT_DIR} --out ${_out}/demo_fat_layout --quiet
            ${PROJECT_SOURCE_DIR}/scenarios/demo.txt)
  # The script's sandbox line is relative to the working folder, letters/, which
  # tools/test-windows.sh empties before the run.
  set(_letters "Jürgen Ωμέγα 東京")
  file(MAKE_DIRECTORY ${_out}/letters)
  configure_file(${PROJECT_SOURCE_DIR}/scenarios/foundation/letters.txt
    "${PROJECT_BINARY_DIR}/scenario-${_letters}/letters.txt" COPYONLY)
  add_test(NAME windows.scenario.non_ascii_folders
    COMMAND tarvosk-sim --plugin $<TARGET_FILE:Tarvosk> --content ${TARVOSK_CONTENT_DIR}
            --out "${_out}/letters/${_letters}/out" --quiet
            "${PROJECT_BINARY_DIR}/scenario-${_letters}/letters.txt"
    WORKING_DIRECTORY ${_out}/letters)
  add_test(NAME windows.soak
    COMMAND tarvosk-sim --soak 10000 --seed 20261209 --plugin $<TARGET_FILE:Tarvosk>
            --content ${TARVOSK_CONTENT_DIR} --sandbox ${_out}/soak-sandbox)
  set_tests_properties(windows.soak PROPERTIES TIMEOUT 600)
endif()
