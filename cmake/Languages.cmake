# The languages pexol speaks besides English: one code a line in po/LINGUAS, each with its
# po/LANG.po, whose header names the language in itself ("X-Language-Name: 日本語", for the
# windows' language list) and as the installer's language files call it
# ("X-Installer-Language: Japanese", NSIS's name).

# The codes of `po_dir`/LINGUAS, in its order.
function(pexol_languages po_dir out)
  file(STRINGS ${po_dir}/LINGUAS lines)
  set(codes)
  foreach(line IN LISTS lines)
    string(REGEX REPLACE "#.*" "" line "${line}")
    string(REGEX MATCHALL "[^ \t]+" found "${line}")
    list(APPEND codes ${found})
  endforeach()
  set(${out} "${codes}" PARENT_SCOPE)
endfunction()

# The value of the header field `field` of `po_dir`/`code`.po; a build that needs it and finds
# none stops, saying what to add.
function(pexol_language_field po_dir code field out)
  set(po ${po_dir}/${code}.po)
  if(NOT EXISTS ${po})
    message(FATAL_ERROR "po/LINGUAS lists ${code}, but there is no ${po}: make it with msginit "
      "(docs/translating.md) or take ${code} out of po/LINGUAS")
  endif()
  file(STRINGS ${po} lines ENCODING UTF-8 REGEX "^\"${field}: .*\\\\n\"$" LIMIT_COUNT 1)
  if(NOT lines MATCHES "^\"${field}: (.+)\\\\n\"$")
    message(FATAL_ERROR "${po}: its header has no \"${field}\" line; add one (docs/translating.md)")
  endif()
  set(${out} "${CMAKE_MATCH_1}" PARENT_SCOPE)
endfunction()

function(pexol_installer_language po_dir code out)
  pexol_language_field(${po_dir} ${code} X-Installer-Language value)
  set(${out} "${value}" PARENT_SCOPE)
endfunction()

function(pexol_language_name po_dir code out)
  pexol_language_field(${po_dir} ${code} X-Language-Name value)
  set(${out} "${value}" PARENT_SCOPE)
endfunction()
