# What `cmake --install` puts under a prefix: everything the package holds,
# where Debian, the desktop, man and bash-completion look for it.
#   cmake -DBUILD_DIR=<build> -DPREFIX=<scratch folder> -P CheckInstall.cmake
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX} OUTPUT_QUIET RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "cmake --install ${BUILD_DIR} failed: ${failed}")
endif()
set(expected
  bin/tavik bin/tavik-forecast
  share/man/man1/tavik.1.gz share/man/man1/tavik-forecast.1.gz
  share/applications/io.github.tavik.Tavik.desktop share/metainfo/io.github.tavik.Tavik.metainfo.xml
  share/icons/hicolor/scalable/apps/tavik.svg
  share/bash-completion/completions/tavik-forecast
  share/doc/tavik/examples/tavik.ini share/doc/tavik/examples/example.tle
  share/doc/tavik/copyright share/doc/tavik/changelog.gz)
foreach(size 16 22 24 32 48 64 128 256)
  list(APPEND expected share/icons/hicolor/${size}x${size}/apps/tavik.png)
endforeach()
foreach(file ${expected})
  if(NOT EXISTS ${PREFIX}/${file})
    message(FATAL_ERROR "cmake --install left out ${file}")
  endif()
endforeach()
file(GLOB_RECURSE installed RELATIVE ${PREFIX} ${PREFIX}/*)
list(SORT installed)
list(SORT expected)
if(NOT installed STREQUAL expected)
  message(FATAL_ERROR "cmake --install wrote other files than expected:\n${installed}")
endif()
# gzip -9n: no time stamp (bytes 5 to 8 are 0), the highest level (XFL 2).
foreach(file share/man/man1/tavik.1.gz share/doc/tavik/changelog.gz)
  file(READ ${PREFIX}/${file} head LIMIT 9 HEX)
  if(NOT head STREQUAL "1f8b08000000000002")
    message(FATAL_ERROR "${file} is not gzip -9n output: ${head}")
  endif()
endforeach()
file(REMOVE_RECURSE ${PREFIX})
