# Fails when a source of a library layer includes a header of a layer that is not below it.
# Run as: cmake -DPEXOL_SOURCE_DIR=<top> -P CheckLayers.cmake
#
# Rank of each folder: a folder may include its own headers and those of folders of a lower
# rank. Folders of equal rank never include one another (run and layout; cli and app; check,
# export, relink, picture, transcode; render and collect; join and batch). The probe sits on run,
# below the drivers; FFmpeg's transcodes below the render that converts its stills with them, the
# join of a render's ranges above it.
set(rank_core 0)
set(rank_sections 1)
set(rank_media 1)
set(rank_model 2)
set(rank_edl 3)
set(rank_convert 4)
set(rank_run 5)
set(rank_layout 5)
set(rank_probe 6)
set(rank_check 7)
set(rank_export 7)
set(rank_relink 7)
set(rank_picture 7)
set(rank_transcode 7)
set(rank_render 8)
set(rank_collect 8)
set(rank_join 9)
set(rank_batch 9)
set(rank_cli 10)
set(rank_app 10)
set(layers core sections media model edl convert run layout probe check export relink picture
  transcode render collect join batch cli app)

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

# The window's page layer is below both windows: it includes neither them nor a toolkit.
file(GLOB page_sources ${PEXOL_SOURCE_DIR}/app/pages/*.h ${PEXOL_SOURCE_DIR}/app/pages/*.cpp)
foreach(source IN LISTS page_sources)
  file(STRINGS ${source} includes REGEX "^#include [<\"](Q|windows|app/)")
  foreach(line IN LISTS includes)
    if(NOT line MATCHES "^#include \"app/pages/")
      file(RELATIVE_PATH name ${PEXOL_SOURCE_DIR} ${source})
      string(APPEND failures "  ${name}: ${line}\n")
    endif()
  endforeach()
endforeach()

if(failures)
  message(FATAL_ERROR "Includes that reach a layer that is not below:\n${failures}")
endif()
message(STATUS "No upward includes.")
