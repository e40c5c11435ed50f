# Which server host names the build accepts. Run with cmake -P.
include(${CMAKE_CURRENT_LIST_DIR}/../cmake/host_name.cmake)

macro(expect host expected)
  kobax_host_name_problem("${host}" _problem)
  if(NOT _problem STREQUAL "${expected}")
    message(SEND_ERROR "\"${host}\": expected \"${expected}\", got \"${_problem}\"")
  endif()
endmacro()

expect("rdp1.example.com" "")
expect("10.0.0.7" "")
expect("TERMSRV_01" "")
expect("" "it is empty")
expect("rdp 1.example.com" "it contains a blank")
expect("rdp1.example.com/x" "it contains a slash")
expect("rdp1\"x" "use only letters, digits, '-', '_' and '.', not at either end")
expect("rdp1.example.com:3389" "use only letters, digits, '-', '_' and '.', not at either end")
expect(".rdp1" "use only letters, digits, '-', '_' and '.', not at either end")
