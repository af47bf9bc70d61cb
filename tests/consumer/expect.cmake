# Runs PROGRAM with the arguments ARG0, ARG1, ... (as many as are defined)
# and checks its exit status against EXIT, its standard output against the
# regular expressions STDOUT0, STDOUT1, ... (each must match, in this order
# of appearance) and its standard error against STDERR0, STDERR1, ...
# Run with cmake -P.

cmake_minimum_required(VERSION 3.20)

set(args "")
foreach(i RANGE 0 9)
  if(DEFINED ARG${i})
    list(APPEND args "${ARG${i}}")
  endif()
endforeach()
execute_process(COMMAND ${PROGRAM} ${args} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
message(STATUS "exit status ${rc}\n--- standard output\n${out}--- standard error\n${err}---")

if(NOT rc STREQUAL "${EXIT}")
  message(FATAL_ERROR "exit status ${rc}, expected ${EXIT}")
endif()

# Each expression must match after the end of the previous match, so the
# expected lines are checked in order.
function(expect_in_order stream text prefix)
  set(rest "${text}")
  foreach(i RANGE 0 19)
    if(NOT DEFINED ${prefix}${i})
      continue()
    endif()
    string(REGEX MATCH "${${prefix}${i}}" matched "${rest}")
    if(matched STREQUAL "")
      message(FATAL_ERROR "${stream}: no match for \"${${prefix}${i}}\" (in order)")
    endif()
    string(FIND "${rest}" "${matched}" at)
    string(LENGTH "${matched}" length)
    math(EXPR after "${at} + ${length}")
    string(SUBSTRING "${rest}" ${after} -1 rest)
  endforeach()
endfunction()

expect_in_order("standard output" "${out}" STDOUT)
expect_in_order("standard error" "${err}" STDERR)
