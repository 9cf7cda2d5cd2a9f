// tests/sections/ClipSectionTest.cpp - video track records and lines, byte for byte
#include <gtest/gtest.h>

#include "core/ByteReader.h"
#include "core/ByteWriter.h"
#include "sections/ClipRecord.h"
#include "tools/builder/Bytes.h"

namespace pexol {
namespace {

using build::Bytes;

std::string Record(ClipRecord clip, VideoTrack track) {
  ByteWriter out;
  WriteWalker writer(out);
  WalkClipRecord(writer, clip, track);
  return out.TakeBytes();
}

ClipRecord Read(const std::string& bytes, VideoTrack track) {
  ByteReader reader(bytes);
  ReadWalker walker(reader);
  ClipRecord clip;
  WalkClipRecord(walker, clip, track);
  return clip;
}

TEST(ClipSectionTest, MovieClipRecordAndLine) {
  const std::string bytes =
      Bytes{}.Str("a.avi").Dword(10).Dword(20).Dword(1).Word(0).Word(0).Dword(5).Word(100).data;
  ASSERT_EQ(bytes.size(), 28u);
  const ClipRecord clip = Read(bytes, VideoTrack::Main);
  const std::string line = FormatClipLine(clip, VideoTrack::Main);
  EXPECT_EQ(line, "a.avi,in=10,out=20,levelpoint(in=0,out=0,5=100)\r\n");
  EXPECT_TRUE(clip.levels.AnyLevel());
  const auto parsed = ParseClipLine(line.substr(0, line.size() - 2), VideoTrack::Main);
  ASSERT_TRUE(parsed);
  EXPECT_EQ(Record(*parsed, VideoTrack::Main), bytes);
}

TEST(ClipSectionTest, ColourClipNameRoundTripsThroughItsLine) {
  const std::string name = "12200AAAAAA00BBBBBB00CCCCCC00DDDDDD.clr";
  ClipRecord clip{name, ClipKind::Colour, 0, 89, 0, "info", {}};
  const std::string line = FormatClipLine(clip, VideoTrack::Main);
  EXPECT_EQ(line,
            "ColorClip(type=1,count=2,direction=R,1st=AAAAAA,2nd=BBBBBB,3rd=CCCCCC,4th=DDDDDD),"
            "in=0,out=89,info,levelpoint(in=0,out=0)\r\n");
  const auto parsed = ParseClipLine(line.substr(0, line.size() - 2), VideoTrack::Main);
  ASSERT_TRUE(parsed);
  EXPECT_EQ(parsed->name, name);
  EXPECT_EQ(parsed->stillInfo, "info");
  EXPECT_EQ(parsed->out, 89);
}

TEST(ClipSectionTest, InsertColourClipsLoseTheirTypeDigit) {
  ClipRecord clip{"31500AAAAAA00BBBBBB00CCCCCC00DDDDDD.clr", ClipKind::Colour, 1, 2, 7, "", {}};
  const std::string line = FormatClipLine(clip, VideoTrack::Insert);
  EXPECT_EQ(line.substr(0, 32), "ColorClip(count=1,direction=BL,1");
  const auto parsed = ParseClipLine(line.substr(0, line.size() - 2), VideoTrack::Insert);
  ASSERT_TRUE(parsed);
  EXPECT_EQ(parsed->name, "01500AAAAAA00BBBBBB00CCCCCC00DDDDDD.clr");
  EXPECT_EQ(parsed->begin, 7);
}

TEST(ClipSectionTest, DirectionTextsAndDigitsWithoutText) {
  const auto name = [](std::string_view direction) {
    const std::string line = "ColorClip(type=0,count=1,direction=" + std::string(direction) +
                             ",1st=000000,2nd=000000,3rd=000000,4th=000000),in=0,out=0,,"
                             "levelpoint(in=0,out=0)";
    return ParseClipLine(line, VideoTrack::Main)->name.substr(2, 1);
  };
  EXPECT_EQ(name("BR"), "3");
  EXPECT_EQ(name("U"), "0");
  EXPECT_EQ(name("UL"), "7");
  EXPECT_EQ(name("9"), "9");  // printed as itself, read back as itself
}

TEST(ClipSectionTest, MalformedColourNamesKeepTheirBytes) {
  for (const std::string& name :
       {std::string("ab.clr"), std::string("x9800AAAAAA00BBBBBB00CCCCCC00DDDDDD.clr"),
        std::string("12,00AAAAAA00BBBBBB00CCCCCC00DDDDDD.clr")}) {
    ClipRecord clip{name, ClipKind::Colour, -3, 40, 0, "s", {}};
    const std::string line = FormatClipLine(clip, VideoTrack::Main);
    const auto parsed = ParseClipLine(line.substr(0, line.size() - 2), VideoTrack::Main);
    ASSERT_TRUE(parsed) << line;
    EXPECT_EQ(Record(*parsed, VideoTrack::Main), Record(clip, VideoTrack::Main)) << line;
  }
}

TEST(ClipSectionTest, MarkedPositionsOfStillClips) {
  const auto bytesOf = [](std::int32_t in, std::int32_t out) {
    ClipRecord clip{"s.jpg", ClipKind::Still, in, out, 0, "", {}};
    return Record(clip, VideoTrack::Main).substr(6, 8);
  };
  EXPECT_EQ(bytesOf(0, 149), Bytes{}.Dword(0).Dword(149).data);
  EXPECT_EQ(bytesOf(10, 149), Bytes{}.Triple(10).Byte(32).Triple(149).Byte(32).data);
  EXPECT_EQ(bytesOf(-5, 149), Bytes{}.Triple(0xFFFFFB).Byte(31).Triple(149).Byte(32).data);
  EXPECT_EQ(Read(Bytes{}
                     .Str("s.jpg")
                     .Triple(0xFFFFFB)
                     .Byte(31)
                     .Dword(3)
                     .Str("")
                     .Dword(0)
                     .Word(0)
                     .Word(0)
                     .data,
                 VideoTrack::Main)
                .in,
            -5);
}

TEST(ClipSectionTest, KindsFollowTheNameEndingInAnyCase) {
  EXPECT_EQ(ClipKindOf("MOVIE.AVI"), ClipKind::Movie);
  EXPECT_EQ(ClipKindOf("photo.JPEG"), ClipKind::Still);
  EXPECT_EQ(ClipKindOf("c.CLR"), ClipKind::Colour);
  EXPECT_EQ(ClipKindOf("vi"), ClipKind::Unknown);
  EXPECT_EQ(ClipKindOf("song.wav"), ClipKind::Unknown);
  // Lower-case "colorclip" is no colour line: the name's ending decides.
  EXPECT_FALSE(ParseClipLine("colorclip(type=1,count=2", VideoTrack::Main));
  EXPECT_EQ(
      ParseClipLine("colorclip.avi,in=1,out=2,levelpoint(in=0,out=0)", VideoTrack::Main)->kind,
      ClipKind::Movie);
}

TEST(ClipSectionTest, NamesThatWouldSplitOrLookLikeColourLinesAreQuoted) {
  for (const std::string& name :
       {std::string("a,b.avi"), std::string("\"q\".avi"), std::string("ColorClip.avi")}) {
    ClipRecord clip{name, ClipKind::Movie, 1, 2, 0, "", {3, 4, {{5, 6}}}};
    const std::string line = FormatClipLine(clip, VideoTrack::Main);
    EXPECT_EQ(line.front(), '"') << line;
    const auto parsed = ParseClipLine(line.substr(0, line.size() - 2), VideoTrack::Main);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(Record(*parsed, VideoTrack::Main), Record(clip, VideoTrack::Main));
  }
}

TEST(ClipSectionTest, LevelsKeepSixteenBitsAndMovieWithoutPoints) {
  const auto parsed =
      ParseClipLine("m.avi,in=-1,out=5,levelpoint(in=65535,out=-1)", VideoTrack::Main);
  ASSERT_TRUE(parsed);
  EXPECT_EQ(parsed->levels.in, 65535);
  EXPECT_EQ(parsed->levels.out, 65535);
  EXPECT_TRUE(parsed->levels.points.empty());
  EXPECT_EQ(parsed->in, -1);
}

}  // namespace
}  // namespace pexol
