# The manual pages render without a warning from groff (-ww: all of them) or
# from man (--warnings), at the 80 columns lintian checks them at.
#   cmake -DMAN_DIR=<build>/packaging/man -P CheckManualPages.cmake
foreach(page tavik.1 tavik-forecast.1)
  set(path ${MAN_DIR}/${page})
  if(NOT EXISTS ${path})
    message(FATAL_ERROR "${path} does not exist")
  endif()
  execute_process(COMMAND groff -ww -man -Tutf8 -z ${path} RESULT_VARIABLE failed ERROR_VARIABLE warnings)
  if(failed OR NOT warnings STREQUAL "")
    message(FATAL_ERROR "groff -ww ${page} (status ${failed}):\n${warnings}")
  endif()
  execute_process(COMMAND ${CMAKE_COMMAND} -E env LC_ALL=C.UTF-8 MANWIDTH=80
                          man --warnings -E UTF-8 -l ${path}
                  RESULT_VARIABLE failed OUTPUT_VARIABLE text ERROR_VARIABLE warnings)
  if(failed OR NOT warnings STREQUAL "")
    message(FATAL_ERROR "man --warnings ${page} (status ${failed}):\n${warnings}")
  endif()
  foreach(section NAME SYNOPSIS DESCRIPTION OPTIONS FILES ENVIRONMENT "EXIT STATUS" EXAMPLES)
    if(NOT text MATCHES "\n${section}\n")
      message(FATAL_ERROR "${page} has no ${section} section")
    endif()
  endforeach()
endforeach()
