# Runs one end-to-end session and compares what it leaves with the golden files, byte for byte:
#   cmake -DZELKOR=<zelkor> -DSCRIPT=<x.session> -DGOLDEN=<folder> -DHOME=<scratch folder>
#         [-DHOST_INI=<Zelkor.ini to place in the home>] [-DUPDATE=1] -P RunSession.cmake
# The golden folder holds transcript.txt (zelkor's standard output), every log file of the run
# under its own name, and Pellix.ini as written at shutdown with the home folder shown as @HOME@
# (its copy in the output folder keeps the real folder).
# UPDATE=1 rewrites the golden files from this run instead of comparing.
cmake_minimum_required(VERSION 3.25)

foreach(var ZELKOR SCRIPT GOLDEN HOME)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "RunSession.cmake needs -D${var}=...")
  endif()
endforeach()

file(REMOVE_RECURSE "${HOME}")
file(MAKE_DIRECTORY "${HOME}")
if(HOST_INI)
  file(COPY_FILE "${HOST_INI}" "${HOME}/Zelkor.ini")
endif()
set(out "${HOME}.out")
file(REMOVE_RECURSE "${out}")
file(MAKE_DIRECTORY "${out}")

# -DEMULATOR=a|b|c: the program runs through it (zelkor.exe under wine).
set(emulator "")
if(EMULATOR)
  string(REPLACE "|" ";" emulator "${EMULATOR}")
endif()
# The console desktop: every effect printed and answered the same way on every run; zelkor.exe
# would otherwise show real message boxes, which hold the run until a person closes them.
execute_process(
  COMMAND ${emulator} "${ZELKOR}" --desktop console --home "${HOME}" "${SCRIPT}"
  OUTPUT_FILE "${out}/transcript.txt"
  ERROR_VARIABLE errors
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "zelkor exited with ${status}:\n${errors}")
endif()

file(COPY_FILE "${HOME}/Pellix.ini" "${out}/Pellix.ini")

file(GLOB logs RELATIVE "${HOME}" "${HOME}/EventLog*")
foreach(log IN LISTS logs)
  file(COPY_FILE "${HOME}/${log}" "${out}/${log}")
endforeach()

# The written INI names the home folder, which differs from machine to machine. CMake's text
# reads drop CR, so the INI is compared as hex byte pairs with the folder's bytes replaced.
function(hex_pairs var hex)
  string(REGEX REPLACE "(..)" "\\1:" pairs "${hex}")
  set(${var} "${pairs}" PARENT_SCOPE)
endfunction()
function(ini_without_home var file)
  file(READ "${file}" hex HEX)
  hex_pairs(content "${hex}")
  string(HEX "${HOME}" home_hex)
  hex_pairs(home_pairs "${home_hex}")
  string(HEX "@HOME@" marker_hex)
  hex_pairs(marker_pairs "${marker_hex}")
  string(REPLACE "${home_pairs}" "${marker_pairs}" content "${content}")
  if(EMULATOR)  # under wine the home folder is written as a drive path: Z:\work\...
    string(REPLACE "/" "\\" windows_home "Z:${HOME}")
    string(HEX "${windows_home}" windows_hex)
    hex_pairs(windows_pairs "${windows_hex}")
    string(REPLACE "${windows_pairs}" "${marker_pairs}" content "${content}")
  endif()
  set(${var} "${content}" PARENT_SCOPE)
endfunction()

if(UPDATE)
  file(REMOVE_RECURSE "${GOLDEN}")
  file(COPY "${out}/" DESTINATION "${GOLDEN}")
  # A developer's step on a POSIX machine; sed keeps every other byte as it is.
  execute_process(COMMAND sed -i "s#${HOME}#@HOME@#g" "${GOLDEN}/Pellix.ini" RESULT_VARIABLE sed_status)
  if(NOT sed_status EQUAL 0)
    message(FATAL_ERROR "cannot rewrite the home folder in ${GOLDEN}/Pellix.ini")
  endif()
  message(STATUS "golden files of ${SCRIPT} rewritten in ${GOLDEN}")
  return()
endif()

file(GLOB produced RELATIVE "${out}" "${out}/*")
file(GLOB expected RELATIVE "${GOLDEN}" "${GOLDEN}/*")
list(SORT produced)
list(SORT expected)
if(NOT produced STREQUAL expected)
  message(FATAL_ERROR "files differ:\n  produced: ${produced}\n  golden:   ${expected}")
endif()

set(failed "")
foreach(name IN LISTS expected)
  if(name STREQUAL "Pellix.ini")
    ini_without_home(produced_ini "${out}/${name}")
    file(READ "${GOLDEN}/${name}" golden_hex HEX)
    hex_pairs(golden_ini "${golden_hex}")
    if(NOT produced_ini STREQUAL golden_ini)
      list(APPEND failed "${name}")
    endif()
    continue()
  endif()
  execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${out}/${name}" "${GOLDEN}/${name}"
                  RESULT_VARIABLE differs)
  if(NOT differs EQUAL 0)
    list(APPEND failed "${name}")
  endif()
endforeach()
if(failed)
  message(FATAL_ERROR "differ from the golden files: ${failed}\n(run: diff -r '${out}' '${GOLDEN}')")
endif()
message(STATUS "${SCRIPT}: transcript, logs and INI equal the golden files")
