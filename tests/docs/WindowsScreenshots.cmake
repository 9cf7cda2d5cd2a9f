# The Win32 window's pictures in docs/screenshots/windows/ are made under Wine on a virtual display
# (tests/windows/screenshots), which a test run does not have; so that they are made again
# whenever a page changes, that script records what they were drawn from (the pages, the window,
# the timeline's drawing and the pages' Japanese texts) in made-from.txt, and this fails while
# any of it differs.
# Run as: cmake -DPEXOL_SOURCE_DIR=<top> [-DWRITE=ON] -P WindowsScreenshots.cmake
cmake_minimum_required(VERSION 3.25)

set(record "${PEXOL_SOURCE_DIR}/docs/screenshots/windows/made-from.txt")
file(GLOB sources RELATIVE "${PEXOL_SOURCE_DIR}"
  "${PEXOL_SOURCE_DIR}/app/pages/*.h" "${PEXOL_SOURCE_DIR}/app/pages/*.cpp"
  "${PEXOL_SOURCE_DIR}/app/win32/*.h" "${PEXOL_SOURCE_DIR}/app/win32/*.cpp"
  "${PEXOL_SOURCE_DIR}/app/win32/*.rc" "${PEXOL_SOURCE_DIR}/picture/*.h"
  "${PEXOL_SOURCE_DIR}/picture/*.cpp")
list(SORT sources)
set(lines "# What docs/screenshots/windows/ was drawn from; written by tests/windows/screenshots.\n")
foreach(source IN LISTS sources)
  file(SHA256 "${PEXOL_SOURCE_DIR}/${source}" hash)
  string(APPEND lines "${hash}  ${source}\n")
endforeach()
# Only the translations the pages show, so that a command line message leaves the pictures be.
execute_process(COMMAND msggrep --sort-output "--location=app/pages/*" "--location=app/win32/*"
  "${PEXOL_SOURCE_DIR}/po/ja.po" OUTPUT_VARIABLE texts RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "msggrep could not read po/ja.po")
endif()
string(REGEX REPLACE "(^|\n)#:[^\n]*" "" texts "${texts}")
string(SHA256 hash "${texts}")
string(APPEND lines "${hash}  po/ja.po (the pages' texts)\n")

if(WRITE)
  file(WRITE "${record}" "${lines}")
  return()
endif()
if(NOT EXISTS "${record}")
  message(FATAL_ERROR "${record} is missing: run `make windows-screenshots`.")
endif()
file(READ "${record}" recorded)
if(NOT recorded STREQUAL lines)
  string(REPLACE "\n" ";" now "${lines}")
  string(REPLACE "\n" ";" before "${recorded}")
  list(REMOVE_ITEM now ${before} "")
  list(TRANSFORM now REPLACE "^[0-9a-f]+  " "")
  list(JOIN now ", " changed)
  message(FATAL_ERROR "The Win32 window changed since docs/screenshots/windows/ was drawn "
    "(${changed}): run `make windows-screenshots` and commit the pictures.")
endif()
