// tests/tools/ProjectBuilderTest.cpp - the builder's bytes against hand-written literals
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "tools/builder/ProjectBuilder.h"

namespace pexol::build {
namespace {

// "05 61 2E" -> the three bytes.
std::string Hex(std::string_view text) {
  std::string bytes;
  std::string digits;
  for (char c : text) {
    if (c == ' ') continue;
    digits += c;
    if (digits.size() == 2) {
      bytes += static_cast<char>(std::stoi(digits, nullptr, 16));
      digits.clear();
    }
  }
  return bytes;
}

constexpr std::string_view emptyOptionBlock = "00000000 00000000 00000000 00";

Project Empty(std::uint16_t version, Software software) {
  Project p;
  p.version = version;
  p.software = software;
  p.audioFrequency = 48000;
  p.aspectRatio = 1;
  p.titleTrack = 2;
  return p;
}

TEST(BytesTest, WritesLittleEndianFieldsAndCountedStrings) {
  EXPECT_EQ(Bytes{}.Byte(5).Word(0x0207).Triple(0xFFFFFB).Dword(-1).Dword(0x01020304u).data,
            Hex("05 0702 FBFFFF FFFFFFFF 04030201"));
  EXPECT_EQ(Bytes{}.Str("").Str("a.avi").data, Hex("00 05612E617669"));
  const std::string long255(255, 'x');
  EXPECT_EQ(Bytes{}.Str(long255).data, Hex("FF FF00") + long255);
  EXPECT_EQ(Bytes{}.Str(std::string(254, 'y')).data.substr(0, 2), Hex("FE 79"));
}

TEST(HeaderTest, GrowsWithVersionAndSoftware) {
  const std::string tail = Hex(emptyOptionBlock);
  EXPECT_EQ(BuildProject(Empty(0x1FF, Software::CorvaneBrisko)),
            Hex("FF01 0000 00000000 00000000 80BB0000") + tail);
  EXPECT_EQ(BuildProject(Empty(0x206, Software::CorvaneBrisko)),
            Hex("0602 0000 00000000 00000000 80BB0000 01000000") + tail);
  EXPECT_EQ(BuildProject(Empty(0x207, Software::Lumetta)),
            Hex("0702 0000 00000000 00000000 80BB0000 01000000") + tail);
  EXPECT_EQ(BuildProject(Empty(0x207, Software::CorvaneBrisko)),
            Hex("0702 0000 00000000 00000000 80BB0000 01000000 02000000") + tail);
}

TEST(HeaderTest, OverridesChangeOnlyTheCounts) {
  Project p = Empty(0x1FF, Software::CorvaneBrisko);
  p.binClipCountOverride = 7;
  p.mainClipCountOverride = -1;
  EXPECT_EQ(BuildProject(p), Hex("FF01 0000 07000000 FFFFFFFF 80BB0000") + Hex(emptyOptionBlock));
}

// Everything between the header and the option block of a one-track project.
std::string Body(const Project& p, std::size_t headerBytes) {
  const std::string all = BuildProject(p);
  return all.substr(headerBytes, all.size() - headerBytes - Hex(emptyOptionBlock).size());
}

TEST(ClipLayoutTest, MovieRecordMatchesTheWorkedExample) {
  Project p = Empty(0x1FF, Software::CorvaneBrisko);
  p.main = {{"a.avi", 10, 20, 0, "ignored", 0, 0, {{5, 100}}}};
  EXPECT_EQ(Body(p, 16), Hex("05612E617669 0A000000 14000000 01000000 0000 0000 05000000 6400") +
                             Hex("00000000 00000000 00000000"));  // insert, two audio counts
}

TEST(ClipLayoutTest, StillPositionsTakeTheCanonicalMarkedForm) {
  const auto positions = [](std::int32_t in, std::int32_t out) {
    Project p = Empty(0x1FF, Software::CorvaneBrisko);
    p.main = {{"s.JPEG", in, out, 0, "", 0, 0, {}}};
    return Body(p, 16).substr(7, 8);  // after the 7-byte name
  };
  EXPECT_EQ(positions(0, 149), Hex("00000000 95000000"));
  EXPECT_EQ(positions(10, 149), Hex("0A0000 20 950000 20"));
  EXPECT_EQ(positions(-5, 149), Hex("FBFFFF 1F 950000 20"));
  EXPECT_EQ(positions(0, -1), Hex("00000000 FFFFFF 1F"));
}

TEST(ClipLayoutTest, InsertColourClipCarriesBeginBeforeStillInfo) {
  Project p = Empty(0x1FF, Software::CorvaneBrisko);
  p.main = {{"u.xyz", 0, 0, 0, "", 0, 0, {}}};  // unknown kind: the name alone
  const std::string colour = ColorClipName(0, 2, 2, "AAAAAA", "BBBBBB", "CCCCCC", "DDDDDD");
  p.insert = {{colour, 1, 2, 300, "i", 7, 8, {}}};
  EXPECT_EQ(Body(p, 16), Hex("05752E78797A 01000000 27") + colour +
                             Hex("010000 20 020000 20 2C010000 0169 00000000 0700 0800") +
                             Hex("00000000 00000000"));
}

TEST(ClipLayoutTest, EmptyMainTrackDropsEveryDependentSection) {
  Project p = Empty(0x207, Software::CorvaneBrisko);
  p.insert = {{"b.avi", 0, 0, 0, "", 0, 0, {}}};
  p.exAudio1 = {{"c.wav", 0, 0, 0, 0, 0, {}}};
  p.effects = {Effect{}};
  p.titles = {Title{}};
  p.insertFilters = {TrackFilter{}};
  EXPECT_EQ(BuildProject(p).size(), 24 + Hex(emptyOptionBlock).size());
}

TEST(ColorClipNameTest, BuildsTheThirtyNineCharacterDescriptor) {
  EXPECT_EQ(ColorClipName(1, 2, 2, "AAAAAA", "BBBBBB", "CCCCCC", "DDDDDD"),
            "12200AAAAAA00BBBBBB00CCCCCC00DDDDDD.clr");
  EXPECT_EQ(ColorClipName(0, 9, 7, "AB", "", "1234567", "FFFFFF"),
            "09700AB0000000000000012345600FFFFFF.clr");
}

TEST(FilterLayoutTest, BlocksFollowTheirFlagsAndMissingRecordsArePadded) {
  Project p = Empty(0x207, Software::CorvaneBrisko);
  p.main = {{"u", 0, 0, 0, "", 0, 0, {}}, {"v", 0, 0, 0, "", 0, 0, {}}};
  TrackFilter f;
  f.hasBlock1 = 1;
  f.hasBlock2 = 2;  // anything but 1 means absent
  f.hasBlock3 = 1;
  f.slow = 1;
  f.block1 = "ab";
  f.block3 = "c";
  f.second = {{"F", "xy"}};
  p.mainFilters = {f};
  const std::string filters = Body(p, 24).substr(2 * 2 + 5 * 4);  // two names, five zero counts
  EXPECT_EQ(filters, Hex("01000000 02000000 01000000 01000000 00000000 00000000") +
                         Hex("06000000 6162 01000000 63 00000000 01000000 0146 02000000 7879") +
                         Hex("00000000 00000000 00000000 00000000 00000000 00000000") +
                         Hex("00000000 00000000"));
  p.mainFilters[0].block1Size = 3;
  p.mainFilters[0].block1 = "";
  EXPECT_EQ(Body(p, 24).substr(2 * 2 + 5 * 4 + 6 * 4, 5), Hex("03000000 01"));
}

TEST(TitleLayoutTest, ExtensionAndLongTextEscape) {
  Title t;
  t.elementKind = 0x200;
  t.titleValue = 5;
  TitleElement e;
  e.elementValue = 9;
  e.text = std::string(300, 't');
  t.elements = {e};
  for (Software s : {Software::CorvaneBrisko, Software::Lumetta}) {
    Project p = Empty(0x206, s);
    p.main = {{"u", 0, 0, 0, "", 0, 0, {}}};
    p.titles = {t};
    const std::string title = Body(p, 20).substr(2 + 4 * 4 + 4);  // name, counts, effects
    const std::string head = Hex("00000000 00000000 00000000 00 00000000 00000000 00 00000000");
    if (s == Software::CorvaneBrisko) {
      EXPECT_EQ(title.substr(0, head.size() + 7), head + Hex("01000000 FF2C01"));
    } else {
      EXPECT_EQ(title.substr(0, head.size() + 19),
                head + Hex("0002 0000 05000000 01000000 09000000 FF2C01"));
    }
  }
}

TEST(RandomProjectTest, IsDeterministicAndKeepsCanonicalBounds) {
  EXPECT_EQ(BuildProject(RandomProject(3, 0x207, Software::CorvaneBrisko)),
            BuildProject(RandomProject(3, 0x207, Software::CorvaneBrisko)));
  EXPECT_NE(BuildProject(RandomProject(3, 0x207, Software::CorvaneBrisko)),
            BuildProject(RandomProject(4, 0x207, Software::CorvaneBrisko)));
  bool sawEmptyMain = false, sawLongText = false;
  for (std::uint32_t seed = 0; seed < 200; ++seed) {
    const Project p = RandomProject(seed, 0x207, Software::CorvaneBrisko);
    sawEmptyMain |= p.main.empty();
    for (const Clip& c : p.main) {
      EXPECT_LE(c.name.size(), 254u);
      EXPECT_EQ(c.name.find('\0'), std::string::npos);
      EXPECT_FALSE(c.name.starts_with("ColorClip"));
      EXPECT_LE(c.stillInfo.size(), 254u);
    }
    for (const Clip& c : p.insert) {
      EXPECT_TRUE(!c.name.ends_with(".clr") || c.name[0] == '0') << c.name;
    }
    for (const Effect& e : p.effects) {
      EXPECT_GE(e.clipIndex, 0);
      EXPECT_LT(e.clipIndex, static_cast<std::int32_t>(p.main.size()));
    }
    for (const Title& t : p.titles)
      for (const TitleElement& e : t.elements) sawLongText |= e.text.size() >= 255;
    for (const BinItem& b : p.bin) {
      EXPECT_TRUE(!b.file.ends_with(".clr") || b.label == b.file) << b.file;
    }
  }
  EXPECT_TRUE(sawEmptyMain);
  EXPECT_TRUE(sawLongText);
}

}  // namespace
}  // namespace pexol::build
