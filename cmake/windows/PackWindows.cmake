# Packs the programs (pexol.exe, pexol-cli.exe) with their README (CR LF, for Notepad) and their
# translations (LOCALE: the build's locale folder, LANG\LC_MESSAGES\pexol.mo, which the programs
# read from locale\ beside them) into ZIP, in one folder.
# With SETUP (and VERSION), also the installer of the same files (pexol.nsi).
# cmake "-DEXES=a.exe;b.exe" -DLOCALE=build/locale -DZIP=... [-DSETUP=... -DVERSION=...]
#   -P PackWindows.cmake
get_filename_component(zip "${ZIP}" ABSOLUTE)
get_filename_component(stage "${zip}" NAME_WLE)
get_filename_component(dist "${zip}" DIRECTORY)
set(stage "${dist}/${stage}")
file(REMOVE_RECURSE "${stage}" "${zip}")
file(MAKE_DIRECTORY "${stage}")
file(COPY ${EXES} DESTINATION "${stage}")
if(LOCALE)
  file(GLOB catalogues "${LOCALE}/*/LC_MESSAGES/pexol.mo")
  if(NOT catalogues)
    message(FATAL_ERROR "no catalogues in ${LOCALE}: build the target pexol_catalogues first")
  endif()
  # The tests' pseudo-language (en@pseudo) is not shipped.
  file(COPY "${LOCALE}" DESTINATION "${stage}" FILES_MATCHING PATTERN "pexol.mo"
       PATTERN "*@pseudo" EXCLUDE)
endif()
file(READ "${CMAKE_CURRENT_LIST_DIR}/README.txt" readme)
string(REPLACE "\n" "\r\n" readme "${readme}")
file(WRITE "${stage}/README.txt" "${readme}")
if(EXISTS "${CMAKE_CURRENT_LIST_DIR}/../../LICENSE")
  file(COPY "${CMAKE_CURRENT_LIST_DIR}/../../LICENSE" DESTINATION "${stage}")
endif()
# The installer of the same files, when SETUP names it (makensis, from Debian's nsis).
if(SETUP)
  find_program(MAKENSIS makensis REQUIRED)
  get_filename_component(setup "${SETUP}" ABSOLUTE)
  # The installer speaks every language of po/LINGUAS, its texts from the catalogues.
  get_filename_component(po "${CMAKE_CURRENT_LIST_DIR}/../../po" ABSOLUTE)
  set(languages "${dist}/installer-languages.nsh")
  execute_process(
    COMMAND ${CMAKE_COMMAND} -DACTION=installer -DTEMPLATE=${CMAKE_CURRENT_LIST_DIR}/pexol.nsi
            -DPO_DIR=${po} -DOUTPUT=${languages} -P ${CMAKE_CURRENT_LIST_DIR}/../TranslateMarked.cmake
    RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "cannot write the installer's languages, ${languages}")
  endif()
  execute_process(
    COMMAND ${MAKENSIS} -V2 -INPUTCHARSET UTF8 -DVERSION=${VERSION} -DSTAGE=${stage} -DOUTFILE=${setup}
            -DICON=${CMAKE_CURRENT_LIST_DIR}/../../app/win32/pexol.ico -DLANGUAGES=${languages}
            ${CMAKE_CURRENT_LIST_DIR}/pexol.nsi
    RESULT_VARIABLE failed)
  file(REMOVE "${languages}")
  if(failed)
    message(FATAL_ERROR "makensis could not make ${setup}")
  endif()
  message(STATUS "Made ${setup}")
endif()
file(GLOB_RECURSE files RELATIVE "${dist}" "${stage}/*")
execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf "${zip}" --format=zip ${files}
                WORKING_DIRECTORY "${dist}" RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "cannot write ${zip}")
endif()
file(REMOVE_RECURSE "${stage}")
message(STATUS "Packed ${zip}")
