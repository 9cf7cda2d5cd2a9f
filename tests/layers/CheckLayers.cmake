# Fails when a source of a library layer includes a header of a layer that is not below it.
# Run as: cmake -DPEXOL_SOURCE_DIR=<top> -P CheckLayers.cmake
#
# Rank of each folder: a folder may include its own headers and those of folders of a lower
# rank. Folders of equal rank never include one another (run and layout; cli and app; check,
# export, relink, picture; render and collect).
set(rank_core 0)
set(rank_sections 1)
set(rank_media 1)
set(rank_model 2)
set(rank_edl 3)
set(rank_convert 4)
set(rank_run 5)
set(rank_layout 5)
set(rank_check 6)
set(rank_export 6)
set(rank_relink 6)
set(rank_picture 6)
set(rank_render 7)
set(rank_collect 7)
set(rank_batch 8)
set(rank_cli 9)
set(rank_app 9)
set(layers core sections media model edl convert run layout check export relink picture render collect
  batch cli app)

set(failures "")
foreach(layer IN LISTS layers)
  file(GLOB_RECURSE sources ${PEXOL_SOURCE_DIR}/${layer}/*.h ${PEXOL_SOURCE_DIR}/${layer}/*.cpp)
  foreach(source IN LISTS sources)
    file(STRINGS ${source} includes REGEX "^#include \"[a-z]+/")
    foreach(line IN LISTS includes)
      string(REGEX REPLACE "^#include \"([a-z]+)/.*" "\\1" target "${line}")
      if(target STREQUAL layer)
        continue()
      endif()
      if(NOT DEFINED rank_${target} OR NOT rank_${target} LESS rank_${layer})
        file(RELATIVE_PATH name ${PEXOL_SOURCE_DIR} ${source})
        string(APPEND failures "  ${name}: ${line}\n")
      endif()
    endforeach()
  endforeach()
endforeach()

if(failures)
  message(FATAL_ERROR "Includes that reach a layer that is not below:\n${failures}")
endif()
message(STATUS "No upward includes.")
