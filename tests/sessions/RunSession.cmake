# Runs one end-to-end session and compares what it leaves with the golden files, byte for byte:
#   cmake -DZELKOR=<zelkor> -DSCRIPT=<x.session> -DGOLDEN=<folder> -DHOME=<scratch folder>
#         [-DUPDATE=1] -P RunSession.cmake
# The golden folder holds transcript.txt (zelkor's standard output), every log file of the run
# under its own name, and Pellix.ini as written at shutdown with the home folder shown as @HOME@.
# UPDATE=1 rewrites the golden files from this run instead of comparing.
foreach(var ZELKOR SCRIPT GOLDEN HOME)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "RunSession.cmake needs -D${var}=...")
  endif()
endforeach()

file(REMOVE_RECURSE "${HOME}")
file(MAKE_DIRECTORY "${HOME}")
set(out "${HOME}.out")
file(REMOVE_RECURSE "${out}")
file(MAKE_DIRECTORY "${out}")

execute_process(
  COMMAND "${ZELKOR}" --home "${HOME}" "${SCRIPT}"
  OUTPUT_FILE "${out}/transcript.txt"
  ERROR_VARIABLE errors
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "zelkor exited with ${status}:\n${errors}")
endif()

# The written INI names the home folder, which differs from machine to machine.
file(READ "${HOME}/Pellix.ini" ini)
string(REPLACE "${HOME}" "@HOME@" ini "${ini}")
file(WRITE "${out}/Pellix.ini" "${ini}")

file(GLOB logs RELATIVE "${HOME}" "${HOME}/EventLog*")
foreach(log IN LISTS logs)
  file(COPY_FILE "${HOME}/${log}" "${out}/${log}")
endforeach()

if(UPDATE)
  file(REMOVE_RECURSE "${GOLDEN}")
  file(COPY "${out}/" DESTINATION "${GOLDEN}")
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
