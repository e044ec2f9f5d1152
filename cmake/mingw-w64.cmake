# Cross-build for 64-bit Windows with Debian's mingw-w64 (posix thread model), run under wine.
#
#   cmake --preset windows        (or -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake)
#
# Packages: g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine64 (scripts/windows.sh).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(MINGW_TRIPLE x86_64-w64-mingw32)
# The -posix drivers explicitly: the plain names follow update-alternatives, and the win32 thread
# model has no std::thread / std::mutex in GCC 12.
set(CMAKE_C_COMPILER ${MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${MINGW_TRIPLE}-windres)
set(CMAKE_AR ${MINGW_TRIPLE}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB ${MINGW_TRIPLE}-gcc-ranlib-posix CACHE FILEPATH "")

set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Every .exe and .dll carries its own libgcc, libstdc++ and winpthread, so nothing but system
# DLLs and our own has to sit beside them. -static only changes how libraries named with -l are
# searched; our own import libraries are linked by full path and stay DLL imports.
# A DLL without __declspec(dllexport) exports every global symbol. ld leaves libgcc and libstdc++
# out of that by itself, but not libgcc_eh and libwinpthread: fx.dll would export _Unwind_Resume
# and clash with the exe's own copy. (Not --exclude-libs,ALL: CMake hands a DLL's own objects to
# ld as objects.a, which ALL would hide too.)
set(_mingw_link "-static -Wl,--exclude-libs,libgcc_eh.a:libwinpthread.a:libpthread.a")
set(CMAKE_EXE_LINKER_FLAGS_INIT "${_mingw_link}")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "${_mingw_link}")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "${_mingw_link}")

# Programs built here run through wine: ctest, gtest_discover_tests and add_test(COMMAND target)
# all prefix this. Debian's wine64 package puts no `wine` on PATH; the loader lives in
# /usr/lib/wine. WINEPREFIX defaults to a throw-away prefix inside the build folder;
# scripts/windows.sh creates it (and the font replacements) before the tests run.
# WINEPATH lets a program outside bin/ (a plug-in test named zelkor.exe in a folder of its own,
# so that Pellix.dll's imports from "zelkor.exe" bind to it) find fx.dll.
find_program(WINE_LOADER NAMES wine64 wine PATHS /usr/lib/wine /usr/lib64/wine NO_CMAKE_FIND_ROOT_PATH)
if(WINE_LOADER)
  if(NOT DEFINED FX_WINEPREFIX)
    set(FX_WINEPREFIX "${CMAKE_BINARY_DIR}/wineprefix")
  endif()
  set(CMAKE_CROSSCOMPILING_EMULATOR
      ${CMAKE_COMMAND} -E env WINEPREFIX=${FX_WINEPREFIX} WINEDEBUG=-all WINEPATH=Z:${CMAKE_BINARY_DIR}/bin
      "WINEDLLOVERRIDES=mscoree,mshtml=" ${WINE_LOADER})
endif()
