# What a test program needs on Windows; nothing elsewhere.
#
#   pellix_windows_test_setup(<target> [PLUGIN_HOST])
#
# - The few POSIX calls the tests use to make scratch folders (mkdtemp, mkdir with a mode,
#   geteuid) come from tests/support/WindowsCompat.h, included first into every test source.
# - A PLUGIN_HOST program exports the host side of the contract and loads Pellix.dll, whose
#   imports name "zelkor.exe": it is built as zelkor.exe in a folder of its own (its import
#   library too, so that programs do not overwrite each other's), and finds fx.dll through the
#   emulator's WINEPATH.
include_guard(GLOBAL)

function(pellix_windows_test_setup name)
  if(NOT WIN32)
    return()
  endif()
  cmake_parse_arguments(ARG "PLUGIN_HOST" "" "" ${ARGN})
  target_compile_options(${name} PRIVATE -include ${CMAKE_SOURCE_DIR}/tests/support/WindowsCompat.h)
  if(ARG_PLUGIN_HOST)
    set(folder ${CMAKE_BINARY_DIR}/plugin-hosts/${name})
    set_target_properties(${name} PROPERTIES OUTPUT_NAME zelkor IMPORT_PREFIX ""
                          RUNTIME_OUTPUT_DIRECTORY ${folder} ARCHIVE_OUTPUT_DIRECTORY ${folder})
  endif()
endfunction()
