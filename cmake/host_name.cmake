# kobax_host_name_problem(HOST OUT): sets OUT to why HOST cannot name a
# remote application server, or to "" when it can. The host goes after
# "termsrv/" on cmdkey's command line and into the connection file's
# "full address:s:" line: a blank would split the argument, a slash would
# change the credential target, and quotes or control characters would
# corrupt either.
function(kobax_host_name_problem host out)
  if(host STREQUAL "")
    set(${out} "it is empty" PARENT_SCOPE)
  elseif(host MATCHES "[ \t]")
    set(${out} "it contains a blank" PARENT_SCOPE)
  elseif(host MATCHES "/")
    set(${out} "it contains a slash" PARENT_SCOPE)
  elseif(NOT host MATCHES "^[A-Za-z0-9_]([A-Za-z0-9_.-]*[A-Za-z0-9_])?$")
    set(${out} "use only letters, digits, '-', '_' and '.', not at either end" PARENT_SCOPE)
  else()
    set(${out} "" PARENT_SCOPE)
  endif()
endfunction()
