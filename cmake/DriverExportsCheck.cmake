# cmake -DTOOL=nm|objdump -DLIBRARY=path -P DriverExportsCheck.cmake
# The framework library that the plug-in loads exports the framework and its fault seams, never
# the driver (fx::testing, fx::input), which lives in fx_driver. Names are matched mangled, as
# both nm -D and objdump -p list them.
if(TOOL MATCHES "objdump")
  set(arguments -p)
else()
  set(arguments -D --defined-only)
endif()
execute_process(COMMAND ${TOOL} ${arguments} ${LIBRARY} OUTPUT_VARIABLE exports RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "${TOOL} cannot read ${LIBRARY}")
endif()
if(NOT exports MATCHES "FailFileWritesAfter")
  message(FATAL_ERROR "${LIBRARY} does not export the file fault seam: the check reads the wrong list")
endif()
string(REGEX MATCHALL "[A-Za-z0-9_]*2fx(7testing|5input)[A-Za-z0-9_]*" driver "${exports}")
if(driver)
  list(REMOVE_DUPLICATES driver)
  message(FATAL_ERROR "${LIBRARY} exports the driver: ${driver}")
endif()
