# The invariant checks, shared by the fuzz targets and the hardening tests that replay their inputs.
set(PEXOL_FUZZ_CHECK_SOURCES
  ${CMAKE_SOURCE_DIR}/fuzz/ConversionInvariants.cpp ${CMAKE_SOURCE_DIR}/fuzz/FuzzInputs.cpp
  ${CMAKE_SOURCE_DIR}/fuzz/MediaInvariants.cpp ${CMAKE_SOURCE_DIR}/fuzz/ScannerInvariants.cpp)
