# The invariant checks, shared by the fuzz targets and the hardening tests that replay their inputs.
set(PEXOL_FUZZ_CHECK_SOURCES
  ${PROJECT_SOURCE_DIR}/fuzz/AafReadBack.cpp ${PROJECT_SOURCE_DIR}/fuzz/ConversionInvariants.cpp ${PROJECT_SOURCE_DIR}/fuzz/ExportInvariants.cpp
  ${PROJECT_SOURCE_DIR}/fuzz/FuzzInputs.cpp ${PROJECT_SOURCE_DIR}/fuzz/MediaInvariants.cpp
  ${PROJECT_SOURCE_DIR}/fuzz/PictureInvariants.cpp ${PROJECT_SOURCE_DIR}/fuzz/RelinkInvariants.cpp ${PROJECT_SOURCE_DIR}/fuzz/ScannerInvariants.cpp)
