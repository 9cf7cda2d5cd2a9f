// tools/builder/RandomProject.cpp - deterministic random projects that survive a text round trip
#include <algorithm>
#include <array>
#include <string>

#include "tools/builder/ClipKind.h"
#include "tools/builder/ProjectBuilder.h"

namespace pexol::build {
namespace {

constexpr std::int32_t markedMin = -8388608;  // the lowest value the tests rely on
constexpr std::int32_t markedMax = 16777215;  // 24 bits
constexpr std::size_t maxNameLength = 254;    // one length byte, no 255 escape

// splitmix64: small, fast and the same on every platform.
class Rng {
 public:
  explicit Rng(std::uint64_t seed) : state_(seed) {}
  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  /// 0 .. n-1 (0 when n is 0).
  std::size_t Below(std::size_t n) { return n ? static_cast<std::size_t>(Next() % n) : 0; }
  bool Chance(int percent) { return Below(100) < static_cast<std::size_t>(percent); }
  std::int32_t Between(std::int32_t lo, std::int32_t hi) {
    const auto span = static_cast<std::uint64_t>(static_cast<std::int64_t>(hi) - lo) + 1;
    return static_cast<std::int32_t>(lo + static_cast<std::int64_t>(Next() % span));
  }
  /// Any int32, with small values and the extremes more often than chance would give them.
  std::int32_t AnyInt() {
    switch (Below(6)) {
      case 0:
        return Between(-100, 100);
      case 1:
        return Chance(50) ? INT32_MIN : INT32_MAX;
      case 2:
        return Between(0, 100000);
      default:
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(Next()));
    }
  }
  std::uint16_t AnyWord() { return static_cast<std::uint16_t>(Next()); }

 private:
  std::uint64_t state_;
};

// Bytes that a converter has to quote or escape, mixed with plain ones; never NUL.
std::string Text(Rng& rng, std::size_t length) {
  static constexpr std::string_view plain = "abcdefghijklmnopqrstuvwxyzABCXYZ0123456789_-./ ()=";
  static constexpr std::string_view special = ",\"\\\r\n";
  std::string text;
  text.reserve(length);
  while (text.size() < length) {
    const std::size_t pick = rng.Below(20);
    if (pick < 14)
      text += plain[rng.Below(plain.size())];
    else if (pick < 17)
      text += special[rng.Below(special.size())];
    else if (pick < 19 && text.size() + 2 <= length) {
      text += static_cast<char>(0x81 + rng.Below(0x1F));  // a Shift-JIS lead byte
      text += static_cast<char>(rng.Chance(20) ? '\\' : 0x40 + rng.Below(0xBD));
    } else
      text += static_cast<char>(0x80 + rng.Below(0x80));
  }
  return text;
}

std::size_t ShortOrLong(Rng& rng, std::size_t max) {
  return rng.Chance(5) ? max : rng.Below(std::min<std::size_t>(max, 24) + 1);
}

// Arbitrary bytes, NUL included, for data that is only ever copied.
std::string Opaque(Rng& rng, std::size_t maxLength) {
  std::string bytes(rng.Below(maxLength + 1), '\0');
  for (char& c : bytes) c = static_cast<char>(rng.Next());
  return bytes;
}

std::string RandomCase(Rng& rng, std::string_view ending) {
  std::string s(ending);
  for (char& c : s)
    if (c >= 'a' && c <= 'z' && rng.Chance(30)) c = static_cast<char>(c - 'a' + 'A');
  return s;
}

// A name of at most 254 bytes that ends in `ending` and is not taken for a colour line.
std::string Name(Rng& rng, std::string_view ending) {
  std::string name =
      Text(rng, ShortOrLong(rng, maxNameLength - ending.size())) + RandomCase(rng, ending);
  if (name.starts_with("ColorClip")) name[0] = 'c';
  return name;
}

std::string StillEnding(Rng& rng) {
  return std::string(detail::stillEndings[rng.Below(detail::stillEndings.size())]);
}

std::string Colour(Rng& rng) {
  static constexpr std::string_view hex = "0123456789ABCDEF";
  std::string colour;
  for (int i = 0; i < 6; ++i) colour += hex[rng.Below(16)];
  return colour;
}

std::string ColourName(Rng& rng, bool withType) {
  return ColorClipName(withType ? static_cast<int>(rng.Below(10)) : 0,
                       static_cast<int>(rng.Below(10)), static_cast<int>(rng.Below(8)), Colour(rng),
                       Colour(rng), Colour(rng), Colour(rng));
}

std::int32_t Marked(Rng& rng) {
  if (rng.Chance(30)) return 0;
  return rng.Chance(30) ? rng.Between(markedMin, -1) : rng.Between(1, markedMax);
}

std::vector<LevelPoint> Points(Rng& rng) {
  std::vector<LevelPoint> points(rng.Below(5));
  for (LevelPoint& p : points) p = {rng.AnyInt(), rng.AnyWord()};
  return points;
}

Clip RandomClip(Rng& rng, bool insert) {
  Clip c;
  const std::size_t kind = rng.Below(10);
  if (kind < 4) {
    c.name = Name(rng, rng.Chance(50) ? ".avi" : "avi");
    c.in = rng.AnyInt();
    c.out = rng.AnyInt();
  } else {
    c.name = kind < 7 ? Name(rng, StillEnding(rng)) : ColourName(rng, !insert);
    c.in = Marked(rng);
    c.out = Marked(rng);
    c.stillInfo = Text(rng, ShortOrLong(rng, maxNameLength));
  }
  if (insert) c.begin = rng.AnyInt();
  c.levelIn = rng.AnyWord();
  c.levelOut = rng.AnyWord();
  c.points = Points(rng);
  return c;
}

ExAudioClip RandomExAudio(Rng& rng) {
  return {Name(rng, rng.Chance(50) ? ".wav" : ""),
          rng.AnyInt(),
          rng.AnyInt(),
          rng.AnyInt(),
          rng.AnyWord(),
          rng.AnyWord(),
          Points(rng)};
}

std::vector<std::int32_t> Words(Rng& rng, std::int32_t byteCount) {
  std::vector<std::int32_t> words(byteCount > 0 ? (static_cast<std::size_t>(byteCount) + 3) / 4
                                                : 0);
  for (std::int32_t& w : words) w = rng.AnyInt();
  return words;
}

Effect RandomEffect(Rng& rng, std::size_t mainCount) {
  Effect e;
  e.clipIndex = static_cast<std::int32_t>(rng.Below(mainCount));
  e.clipLength = rng.AnyInt();
  e.value3 = rng.AnyInt();
  e.value4 = rng.AnyWord();
  e.name = rng.Chance(30) ? "Dissolve" : Text(rng, ShortOrLong(rng, maxNameLength));
  for (std::int32_t& v : e.values) v = rng.AnyInt();
  e.parameterBytes = rng.Between(-4, 23);
  e.words = Words(rng, e.parameterBytes);
  e.tail = Opaque(rng, 12);
  return e;
}

std::string TitleText(Rng& rng) {
  if (rng.Chance(15)) return "\x83\x5e\x83\x43\x83\x67\x83\x8b\r\n\x83\x5e\x83\x43\x83\x67\x83\x8b";
  if (rng.Chance(10)) return Text(rng, 255 + rng.Below(46));  // the 255 escape
  return Text(rng, rng.Below(40));
}

Title RandomTitle(Rng& rng) {
  Title t;
  t.begin = rng.AnyInt();
  t.value2 = rng.AnyInt();
  t.value3 = rng.AnyInt();
  t.str4 = Opaque(rng, 20);
  t.block1Bytes = rng.Between(-4, 23);
  t.block1 = Words(rng, t.block1Bytes);
  t.value7 = rng.AnyInt();
  t.str8 = Opaque(rng, 20);
  t.block2Bytes = rng.Between(-4, 23);
  t.block2 = Words(rng, t.block2Bytes);
  t.elementKind = rng.Chance(40) ? 0x300 : rng.AnyWord();
  t.value12 = rng.AnyWord();
  t.titleValue = static_cast<std::uint32_t>(rng.AnyInt());
  t.elements.resize(rng.Below(4));
  for (TitleElement& e : t.elements) {
    e.elementValue = rng.Chance(30) ? 1 : static_cast<std::uint32_t>(rng.AnyInt());
    e.text = TitleText(rng);
    for (std::int32_t& v : e.values) v = rng.AnyInt();
    e.fontName = Text(rng, ShortOrLong(rng, maxNameLength));
    e.fontSize = rng.AnyInt();
    for (std::int32_t& v : e.more) v = rng.AnyInt();
    e.flag = static_cast<std::uint8_t>(rng.Next());
    e.fill = static_cast<std::uint32_t>(rng.Next());
  }
  t.tail = Opaque(rng, 12);
  return t;
}

std::vector<FilterBlock> Filters(Rng& rng) {
  std::vector<FilterBlock> filters(rng.Below(3));
  for (FilterBlock& f : filters) f = {Opaque(rng, 20), Opaque(rng, 16)};
  return filters;
}

std::uint32_t Flag(Rng& rng) {
  return static_cast<std::uint32_t>(rng.Below(3));
}  // 2: absent

TrackFilter RandomTrackFilter(Rng& rng) {
  TrackFilter f;
  f.hasBlock1 = Flag(rng);
  f.hasBlock2 = Flag(rng);
  f.hasBlock3 = Flag(rng);
  f.slow = rng.Chance(30) ? static_cast<std::uint32_t>(rng.Next()) : 0;
  f.value5 = static_cast<std::uint32_t>(rng.Next());
  f.value6 = static_cast<std::uint32_t>(rng.Next());
  if (rng.Chance(20))
    f.block1Size = static_cast<std::uint32_t>(rng.Below(5));  // no bytes follow
  else
    f.block1 = Opaque(rng, 16);
  f.block2Value = static_cast<std::uint32_t>(rng.Next());
  f.block2 = Opaque(rng, 16);
  f.block3 = Opaque(rng, 16);
  f.first = Filters(rng);
  f.second = Filters(rng);
  return f;
}

BinItem RandomBinItem(Rng& rng) {
  BinItem b;
  b.in = rng.AnyInt();
  b.out = rng.AnyInt();
  switch (rng.Below(5)) {
    case 0:
    case 1: {
      const std::string ending = rng.Chance(50) ? ".avi" : ".wav";
      b.label = Name(rng, ending);
      b.file = Name(rng, ending);
      constexpr std::array<std::int32_t, 3> rates = {48000, 44100, 32000};
      b.audioRate = rng.Chance(70) ? rates[rng.Below(3)] : rng.Between(10000, 99999);
      b.audioBits = rng.Chance(70) ? 16 : rng.Between(0, 99);
      break;
    }
    case 2: {  // any other ending is printed like a sound file, with any rate
      constexpr std::array<std::string_view, 3> endings = {".mp3", ".m2p", ".aiff"};
      b.label = Name(rng, endings[rng.Below(3)]);
      b.file = Name(rng, endings[rng.Below(3)]);
      b.audioRate = rng.AnyInt();
      b.audioBits = rng.AnyInt();
      break;
    }
    case 3:
      b.label = Name(rng, StillEnding(rng));
      b.file = Name(rng, StillEnding(rng));
      break;
    default:
      b.label = b.file = ColourName(rng, false);
  }
  return b;
}

template <class T, class Make>
std::vector<T> Several(std::size_t maxCount, Rng& rng, Make make) {
  std::vector<T> items(rng.Below(maxCount + 1));
  for (T& item : items) item = make();
  return items;
}

}  // namespace

Project RandomProject(std::uint32_t seed, std::uint16_t version, Software software) {
  Rng rng(seed * 0x100000001B3ull + version * 2 + static_cast<std::uint64_t>(software));
  Project p;
  p.version = version;
  p.software = software;
  p.reserved = rng.AnyWord();
  constexpr std::array<std::int32_t, 6> frequencies = {48000, 44100, 32016, 32012, 0, 22050};
  p.audioFrequency = rng.Chance(80) ? frequencies[rng.Below(6)] : rng.AnyInt();
  p.aspectRatio = rng.Chance(50) ? 0 : rng.AnyInt();
  p.titleTrack = rng.AnyInt();
  if (!rng.Chance(10)) {
    p.main = Several<Clip>(12, rng, [&] { return RandomClip(rng, false); });
    if (p.main.empty()) p.main.push_back(RandomClip(rng, false));
    p.insert = Several<Clip>(6, rng, [&] { return RandomClip(rng, true); });
    p.exAudio1 = Several<ExAudioClip>(5, rng, [&] { return RandomExAudio(rng); });
    p.exAudio2 = Several<ExAudioClip>(5, rng, [&] { return RandomExAudio(rng); });
    p.effects = Several<Effect>(6, rng, [&] { return RandomEffect(rng, p.main.size()); });
    p.titles = Several<Title>(4, rng, [&] { return RandomTitle(rng); });
  }
  const auto audioFilter = [&] { return AudioFilter{Filters(rng)}; };
  p.mainFilters = Several<TrackFilter>(p.main.size(), rng, [&] { return RandomTrackFilter(rng); });
  p.insertFilters =
      Several<TrackFilter>(p.insert.size(), rng, [&] { return RandomTrackFilter(rng); });
  p.exAudio1Filters = Several<AudioFilter>(p.exAudio1.size(), rng, audioFilter);
  p.exAudio2Filters = Several<AudioFilter>(p.exAudio2.size(), rng, audioFilter);
  p.bin = Several<BinItem>(8, rng, [&] { return RandomBinItem(rng); });
  for (std::int32_t& v : p.options) v = rng.AnyInt();
  p.optionText = Opaque(rng, 40);
  return p;
}

}  // namespace pexol::build
