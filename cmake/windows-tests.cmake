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
add_custom_target(tarvosk_windows_tests DEPENDS platform_tests objformat_tests config_tests)
