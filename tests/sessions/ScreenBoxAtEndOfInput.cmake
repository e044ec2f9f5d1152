# zelkor.exe on the screen desktop: standard input ends while the system's message box is open
# ("#start" twice). The box must be closed for the session to end in order and save; without
# that the run holds until the test's timeout.
#   cmake -DZELKOR=<zelkor.exe> -DEMULATOR=<a|b|c> -DHOME=<scratch folder> -P ScreenBoxAtEndOfInput.cmake
cmake_minimum_required(VERSION 3.25)

file(REMOVE_RECURSE "${HOME}")
file(MAKE_DIRECTORY "${HOME}")
set(input "${HOME}.input")
file(WRITE "${input}" "say #start\nsay #start\nchat bob after the box\n")
string(REPLACE "|" ";" emulator "${EMULATOR}")
execute_process(
  COMMAND ${emulator} "${ZELKOR}" --desktop screen --home "${HOME}"
  INPUT_FILE "${input}"
  OUTPUT_VARIABLE transcript
  ERROR_VARIABLE errors
  RESULT_VARIABLE status
  TIMEOUT 50)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "zelkor.exe exited with ${status}:\n${errors}\n${transcript}")
endif()
# A box that was really shown and then closed has a button for its answer (wine: Cancel).
if(NOT transcript MATCHES "\\[message box: [^\n]* -> (OK|Cancel)\n")
  message(FATAL_ERROR "no message box answered on the screen:\n${transcript}")
endif()
foreach(expected "<bob> after the box\n" "* shut down\n")
  string(FIND "${transcript}" "${expected}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the transcript lacks \"${expected}\":\n${transcript}")
  endif()
endforeach()
if(NOT EXISTS "${HOME}/Pellix.ini")
  message(FATAL_ERROR "the settings were not saved:\n${transcript}")
endif()
message(STATUS "the box was closed at the end of the input and the session ended in order")
