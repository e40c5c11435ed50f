# Deployment settings, fixed when the launcher is built: the host names of the
# four remote application servers and the two extra-profile switches.
include(${CMAKE_CURRENT_LIST_DIR}/host_name.cmake)

set(_placeholders "")
foreach(_n 1 2 3 4)
  set(KOBAX_SERVER_${_n} "rdp${_n}.kobax.invalid" CACHE STRING
      "Host name of remote application server ${_n}")
  kobax_host_name_problem("${KOBAX_SERVER_${_n}}" _problem)
  if(_problem)
    message(FATAL_ERROR
      "KOBAX_SERVER_${_n}=\"${KOBAX_SERVER_${_n}}\" cannot name a server: ${_problem}.")
  endif()
  if(KOBAX_SERVER_${_n} MATCHES "\\.invalid$")
    list(APPEND _placeholders "KOBAX_SERVER_${_n}=${KOBAX_SERVER_${_n}}")
  endif()
endforeach()
if(_placeholders)
  list(JOIN _placeholders ", " _placeholders)
  message(WARNING
    "Placeholder server names (${_placeholders}): a launcher built this way "
    "cannot reach its servers. Set -DKOBAX_SERVER_<n>=<host> for a deployment.")
endif()

option(KOBAX_EXTRA_PROJECT_PROFILE_1
  "Also write the project-application connection file for server 4" OFF)
option(KOBAX_EXTRA_PROJECT_PROFILE_2
  "Also write the project-application connection file for server 1" OFF)

foreach(_n 1 2)
  if(KOBAX_EXTRA_PROJECT_PROFILE_${_n})
    set(KOBAX_EXTRA_PROJECT_PROFILE_${_n}_VALUE true)
  else()
    set(KOBAX_EXTRA_PROJECT_PROFILE_${_n}_VALUE false)
  endif()
endforeach()

configure_file(${CMAKE_CURRENT_LIST_DIR}/deployment.h.in
               ${CMAKE_BINARY_DIR}/generated/deployment.h @ONLY)
