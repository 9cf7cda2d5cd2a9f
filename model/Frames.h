// model/Frames.h - frame numbers and frame counts, with the project format's 32-bit arithmetic
#pragma once

#include <compare>
#include <cstdint>

namespace pexol {

/// A frame number or a number of frames at the project's own rate. Projects hold any 32-bit
/// values and the applications' EDL works them out in 32 bits, so every sum and difference
/// here wraps round at 32 bits: the positions written are exactly those the EDL shows, and no
/// value a project holds can make the arithmetic undefined.
class Frames {
 public:
  constexpr Frames() = default;
  constexpr Frames(std::int32_t count) : value_(count) {}  // NOLINT: frames are counts

  /// The low 32 bits of `count`.
  static constexpr Frames Wrapped(std::int64_t count) {
    return Frames(static_cast<std::int32_t>(static_cast<std::uint32_t>(count)));
  }

  constexpr std::int32_t Value() const { return value_; }

  friend constexpr Frames operator+(Frames a, Frames b) {
    return Wrapped(std::int64_t{a.value_} + b.value_);
  }
  friend constexpr Frames operator-(Frames a, Frames b) {
    return Wrapped(std::int64_t{a.value_} - b.value_);
  }
  friend constexpr Frames operator*(std::int32_t factor, Frames a) {
    return Wrapped(std::int64_t{factor} * a.value_);
  }
  constexpr Frames& operator+=(Frames other) { return *this = *this + other; }
  constexpr Frames& operator-=(Frames other) { return *this = *this - other; }

  /// Half, rounded toward zero: the source frames a half-speed clip shows over this many.
  constexpr Frames Half() const { return Frames(value_ / 2); }

  friend constexpr bool operator==(Frames, Frames) = default;
  friend constexpr auto operator<=>(Frames, Frames) = default;

 private:
  std::int32_t value_ = 0;
};

/// The last frame of `length` frames from `first`, counted in 64 bits without wrapping, as
/// MLT's inclusive in/out points are written (a length of 0 ends one frame before `first`).
constexpr std::int64_t LastFrame(Frames first, Frames length) {
  return std::int64_t{first.Value()} + length.Value() - 1;
}

/// `length` frames in 64 bits less one: MLT's out point of a span starting at 0.
constexpr std::int64_t LastFrame(Frames length) {
  return LastFrame(Frames(0), length);
}

}  // namespace pexol
