# Runs each harness program and checks how it ends: PASS programs must exit 0,
# FAIL programs must not, LEAK programs must fail with a LeakSanitizer report.
# -D CASES="<program>=PASS|FAIL|LEAK;..." -D ENVIRONMENT="VAR=value;..."
foreach(case IN LISTS CASES)
  string(REPLACE "=" ";" parts "${case}")
  list(GET parts 0 program)
  list(GET parts 1 expected)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env ${ENVIRONMENT} ${program}
                  RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
  get_filename_component(name "${program}" NAME)
  string(FIND "${out}${err}" "ERROR: LeakSanitizer: detected memory leaks" report)
  if(expected STREQUAL "PASS" AND NOT result EQUAL 0)
    message(FATAL_ERROR "${name} should pass but ended with ${result}:\n${out}${err}")
  elseif(expected STREQUAL "FAIL" AND result EQUAL 0)
    message(FATAL_ERROR "${name} should fail but passed:\n${out}${err}")
  elseif(expected STREQUAL "LEAK" AND (result EQUAL 0 OR report EQUAL -1))
    message(FATAL_ERROR "${name} should fail with a leak report but ended with ${result}:\n${out}${err}")
  endif()
  message(STATUS "${name}: ${expected} as expected")
endforeach()
