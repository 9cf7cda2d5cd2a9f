// tools/builder/SampleProjects.cpp - the demo project and the largest in-memory project
#include <string>

#include "tools/builder/ProjectBuilder.h"

namespace pexol::build {
namespace {

// "Title" and "Gothic" in Shift-JIS katakana.
constexpr std::string_view titleWord = "\x83\x5e\x83\x43\x83\x67\x83\x8b";
constexpr std::string_view gothicFont = "\x82\x6c\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4e";

TitleElement Element(std::string text, std::uint32_t value, std::uint32_t fill) {
  TitleElement e;
  e.elementValue = value;
  e.text = std::move(text);
  e.values = {10, 20, 300, 60, 0, 0, 1, 0, 255};
  e.fontName = std::string(gothicFont);
  e.fontSize = 24;
  e.more = {0, 1, 2};
  e.flag = 1;
  e.fill = fill;
  return e;
}

Title MakeTitle(std::int32_t begin, std::vector<TitleElement> elements) {
  Title t;
  t.begin = begin;
  t.value2 = 90;
  t.value3 = 1;
  t.str4 = "title";
  t.block1Bytes = 6;  // not a multiple of 4: two words
  t.block1 = {0x01020304, 0x0506};
  t.value7 = 7;
  t.str8 = "";
  t.block2Bytes = 8;
  t.block2 = {-1, 42};
  t.elementKind = 0x200;
  t.titleValue = 5;
  t.elements = std::move(elements);
  return t;
}

Effect MakeEffect(std::int32_t clipIndex, std::int32_t clipLength, std::string name) {
  Effect e;
  e.clipIndex = clipIndex;
  e.clipLength = clipLength;
  e.value3 = 30;
  e.value4 = 1;
  e.name = std::move(name);
  e.values = {1, 2, 3, 4, 5};
  e.parameterBytes = 12;
  e.words = {100, 200, 300};
  e.tail = "fx";
  return e;
}

TrackFilter FullFilter(std::uint32_t slow) {
  TrackFilter f;
  f.hasBlock1 = 1;
  f.hasBlock2 = 1;
  f.hasBlock3 = 1;
  f.slow = slow;
  f.block1 = "\x01\x02\x03\x04\x05\x06";
  f.block2Value = 9;
  f.block2 = "speed";
  f.block3 = std::string("\0\xff", 2);
  f.first = {{"Mosaic", "abcd"}};
  f.second = {{"Sepia", ""}, {"Blur", "xyz"}};
  return f;
}

}  // namespace

Project DemoProject() {
  Project p;
  p.version = 0x207;
  p.audioFrequency = 48000;
  p.aspectRatio = 1;
  p.titleTrack = 2;
  const std::string red = ColorClipName(1, 2, 3, "FF0000", "00FF00", "0000FF", "FFFFFF");
  const std::string blue = ColorClipName(0, 1, 0, "0000FF", "000080", "000000", "FFFFFF");
  p.main = {
      {"clips/intro.avi", 0, 299, 0, "", 100, 100, {{0, 100}, {150, 80}}},
      {"clips/sunset.jpg", 0, 149, 0, "still", 0, 0, {}},
      {"clips/scene2.AVI", 30, 479, 0, "", 0, 0, {}},
      {red, 10, 89, 0, "colour", 0, 0, {}},
      {"clips/outro.avi", -5, 199, 0, "", 50, 0, {{10, 1}}},
  };
  p.insert = {
      {"clips/logo.png", 10, 149, 60, "logo", 0, 0, {}},
      {"clips/overlay.avi", 0, 89, 300, "", 0, 0, {{5, 200}}},
      {blue, -5, 49, 500, "", 0, 0, {}},
  };
  p.exAudio1 = {{"audio/bgm.wav", 0, 299, 150, 100, 100, {{0, 100}, {120, 80}}}};
  p.exAudio2 = {{"audio/voice.wav", 10, 209, 0, 65535, 0, {}},
                {"audio/effect.wav", 0, 29, 400, 0, 0, {{3, 7}}}};
  p.effects = {MakeEffect(0, 280, "Dissolve"), MakeEffect(2, 440, "Wipe")};
  p.titles = {
      MakeTitle(120, {Element(std::string(titleWord) + "\r\n" + std::string(titleWord), 0, 1),
                      Element("clips/sunset.jpg", 1, 2)})};
  p.mainFilters = {FullFilter(0), {}, FullFilter(1)};
  p.insertFilters = {{}, FullFilter(0)};
  p.exAudio1Filters = {{{{"Echo", "\x10\x20"}}}};
  p.bin = {
      {"intro", "clips/intro.avi", 0, 299, 48000, 16},
      {"bgm", "audio/bgm.wav", 0, 1799, 44100, 16},
      {"sunset", "clips/sunset.jpg", 0, 149, 0, 0},
      {blue, blue, 0, 149, 0, 0},
  };
  p.options = {1, 0, 30};
  p.optionText = "default";
  return p;
}

Project LargeProject(std::size_t scale) {
  Project p;
  p.version = 0x207;
  const auto name = [](std::string_view folder, std::size_t i, std::string_view ending) {
    return std::string(folder) + "/clip" + std::to_string(i) + std::string(ending);
  };
  const auto label = [](std::size_t i, std::string_view ending) {
    return "clip" + std::to_string(i) + std::string(ending);
  };
  for (std::size_t i = 0; i < 1000 * scale; ++i) {
    const auto n = static_cast<std::int32_t>(i);
    switch (i % 3) {
      case 0:
        p.main.push_back(
            {name("movies", i, ".avi"), n, n + 299, 0, "", 100, 100, {{0, 100}, {n, 50}}});
        break;
      case 1:
        p.main.push_back({name("stills", i, ".jpg"), n, n + 149, 0, "still", 0, 0, {}});
        break;
      default:
        p.main.push_back({ColorClipName(i % 10, 1, i % 8, "FF0000", "00FF00", "0000FF", "FFFFFF"),
                          0,
                          59,
                          0,
                          "",
                          0,
                          0,
                          {{1, 2}}});
    }
  }
  for (std::size_t i = 0; i < 300 * scale; ++i) {
    const auto n = static_cast<std::int32_t>(i);
    p.insert.push_back({name("overlay", i, i % 2 ? ".png" : ".avi"),
                        n,
                        n + 99,
                        n * 100,
                        i % 2 ? "still" : "",
                        0,
                        0,
                        {{n, 10}}});
    p.exAudio1.push_back({name("audio", i, ".wav"), 0, 299, n * 300, 100, 100, {{0, 100}}});
    p.exAudio2.push_back({name("voice", i, ".wav"), n, n + 50, n * 60, 0, 0, {}});
    p.insertFilters.push_back(i % 10 ? TrackFilter{} : FullFilter(1));
    p.exAudio1Filters.push_back({{{"Echo", "\x01\x02"}}});
  }
  for (std::size_t i = 0; i < 1000 * scale - 1; ++i)
    p.effects.push_back(MakeEffect(static_cast<std::int32_t>(i), 280, i % 2 ? "Wipe" : "Dissolve"));
  for (std::size_t i = 0; i < 200 * scale; ++i) {
    const auto fill = static_cast<std::uint32_t>(i * 3);
    p.titles.push_back(MakeTitle(
        static_cast<std::int32_t>(i * 30),
        {Element(std::string(titleWord), 0, fill), Element("line one\r\nline two", 0, fill + 1),
         Element(name("stills", i, ".jpg"), 1, fill + 2)}));
  }
  for (std::size_t i = 0; i < 1000 * scale; ++i) p.mainFilters.push_back(FullFilter(i % 7 == 0));
  for (std::size_t i = 0; i < 5000 * scale; ++i) {
    const auto n = static_cast<std::int32_t>(i);
    switch (i % 4) {
      case 0:
        p.bin.push_back({label(i, ".avi"), name("movies", i, ".avi"), 0, n, 48000, 16});
        break;
      case 1:
        p.bin.push_back({label(i, ".wav"), name("audio", i, ".wav"), 0, n, 44100, 16});
        break;
      case 2:
        p.bin.push_back({label(i, ".jpg"), name("stills", i, ".jpg"), 0, n, 0, 0});
        break;
      default: {
        const std::string colour =
            ColorClipName(0, i % 10, i % 8, "123456", "ABCDEF", "000000", "FFFFFF");
        p.bin.push_back({colour, colour, 0, n, 0, 0});
      }
    }
  }
  p.optionText = "large";
  return p;
}

}  // namespace pexol::build
