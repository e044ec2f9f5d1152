# GoogleTest for a cross build: the host's libgtest cannot link into .exe files, so gtest and gmock
# are compiled here from the sources Debian ships (package googletest, /usr/src/googletest).
# Defines GTest::gtest, GTest::gtest_main, GTest::gmock and GTest::gmock_main, as
# find_package(GTest) does natively.
#
#   if(CMAKE_CROSSCOMPILING)  include(GoogleTestWindows)  else()  find_package(GTest REQUIRED)  endif()
include_guard(GLOBAL)

set(GOOGLETEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources to build for the target")
if(NOT EXISTS ${GOOGLETEST_SOURCE_DIR}/CMakeLists.txt)
  message(FATAL_ERROR "No GoogleTest sources in ${GOOGLETEST_SOURCE_DIR}: apt-get install googletest")
endif()

set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
# Static gtest: each test program then needs no gtest DLL beside it.
set(BUILD_SHARED_LIBS OFF)
add_subdirectory(${GOOGLETEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)

foreach(target gtest gtest_main gmock gmock_main)
  set_target_properties(${target} PROPERTIES COMPILE_WARNING_AS_ERROR OFF)
  # -w: their code is not ours to keep warning-free. UTF-8: with C++20, libstdc++'s <chrono>
  # holds "\u00b5s", which CP932 cannot encode; gtest's own texts are ASCII anyway.
  target_compile_options(${target} PRIVATE -w -fexec-charset=UTF-8)
endforeach()

# Discovery runs each test program through wine (CMAKE_CROSSCOMPILING_EMULATOR); doing it when
# ctest starts rather than after every link keeps the build free of wine and of a display.
set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)
