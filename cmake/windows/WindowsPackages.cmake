# Debian ships no MinGW builds of the host packages pexol uses. The header-only ones (CLI11,
# nlohmann-json) are copied out of /usr/include on their own, since putting /usr/include itself
# on the include path would mix glibc's headers into a Windows build; GoogleTest is built from
# Debian's source package. Each answers the find_package call its layer already makes.
function(pexol_stage_headers name)
  if(NOT EXISTS /usr/include/${name})
    message(FATAL_ERROR "/usr/include/${name} is missing: run PEXOL_WITH_WINDOWS=1 scripts/install-deps")
  endif()
  file(COPY /usr/include/${name} DESTINATION ${CMAKE_BINARY_DIR}/host-headers)
endfunction()
pexol_stage_headers(CLI)
pexol_stage_headers(nlohmann)
set(PEXOL_HOST_HEADERS ${CMAKE_BINARY_DIR}/host-headers CACHE INTERNAL "")

set(CLI11_DIR ${CMAKE_CURRENT_LIST_DIR} CACHE PATH "" FORCE)
set(nlohmann_json_DIR ${CMAKE_CURRENT_LIST_DIR} CACHE PATH "" FORCE)
set(GTest_DIR ${CMAKE_CURRENT_LIST_DIR} CACHE PATH "" FORCE)
