// tests/hardening/AllocationMeter.h - counts what the heap does during a test, for memory bounds
#pragma once

#include <cstddef>

namespace pexol::test {

/// Measures the global operator new from its construction on: how many allocations were
/// made and how far the live bytes rose above where they stood. One meter at a time.
class AllocationMeter {
 public:
  AllocationMeter();
  /// Allocations made since construction.
  std::size_t Allocations() const;
  /// The highest number of live bytes since construction, less those live at construction.
  std::size_t PeakBytes() const;

 private:
  std::size_t startAllocations_;
  std::size_t startBytes_;
};

}  // namespace pexol::test
