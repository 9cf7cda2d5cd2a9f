// tests/sections/SectionLinesTest.cpp - the lines of extra audio, title and bin window records
#include <gtest/gtest.h>

#include "core/ByteWriter.h"
#include "sections/BinItem.h"
#include "sections/ExAudioClip.h"
#include "support/Conversions.h"
#include "tools/builder/ProjectBuilder.h"

namespace pexol {
namespace {

using test::ConvertToText;
using test::CoreSoftware;

// The lines between `heading` and the next heading of a to-text output.
std::string SectionLines(const std::string& text, const std::string& heading) {
  const std::size_t start = text.find(heading + "\r\n") + heading.size() + 2;
  const std::size_t end = text.find("\r\n[", start - 2);
  return text.substr(start, end + 2 - start);
}

TEST(ExAudioSectionTest, LineOfAClipAndItsParse) {
  build::Project project;
  project.main.push_back({"m.avi", 0, 9, 0, "", 0, 0, {}});
  project.exAudio1.push_back({"bgm.wav", 0, 299, 150, 100, 100, {{0, 100}, {120, 80}}});
  const std::string text = ConvertToText(build::BuildProject(project), Software::CorvaneBrisko);
  EXPECT_EQ(SectionLines(text, "[ExAudio1]"),
            "bgm.wav,in=0,out=299,begin=150,levelpoint(in=100,out=100,0=100,120=80)\r\n");

  const ExAudioClip clip =
      ParseExAudioLine("IN.wav,IN=012,out=-3,Begin=7,LevelPoint(in=-1,out=1,5=2)");
  EXPECT_EQ(clip.in, 12);  // keys in any case, leading zeros
  EXPECT_EQ(clip.out, -3);
  EXPECT_EQ(clip.levels.in, 0xFFFF);  // a negative level keeps its low 16 bits
  EXPECT_EQ(clip.levels.points, (std::vector<LevelPoint>{{5, 2}}));
  // Text typed after the closing parenthesis is no level point.
  EXPECT_THROW(ParseExAudioLine("a.wav,in=0,out=1,begin=0,levelpoint(in=0,out=0,1=2),x"),
               FieldError);
  EXPECT_THROW(ParseExAudioLine("a.wav,in=0,out=1,begin=0,levelpoint(in=70000,out=0)"), FieldError);
}

TEST(TitleSectionTest, PositionAndElementLinesWithAndWithoutTheExtension) {
  build::Project project;
  project.version = 0x206;
  project.main.push_back({"m.avi", 0, 9, 0, "", 0, 0, {}});
  build::Title title;
  title.begin = 300;
  title.titleValue = 5;
  title.elements.push_back({});
  title.elements[0].text = "Hello\nWorld";
  title.elements[0].fontName = "Gothic";
  title.elements[0].fontSize = 24;
  project.titles.push_back(title);

  project.software = build::Software::CorvaneBrisko;
  EXPECT_EQ(
      SectionLines(ConvertToText(build::BuildProject(project), Software::CorvaneBrisko), "[Title]"),
      "begin=300,\r\n,\"Hello\\nWorld\",\"Gothic\",fontsize=24\r\n");
  project.software = build::Software::Lumetta;
  EXPECT_EQ(SectionLines(ConvertToText(build::BuildProject(project), Software::Lumetta), "[Title]"),
            "begin=300,5,\r\n,0,\"Hello\\nWorld\",\"Gothic\",fontsize=24\r\n");
  project.titles[0].elementKind = 0x300;
  EXPECT_EQ(SectionLines(ConvertToText(build::BuildProject(project), Software::Lumetta), "[Title]"),
            "begin=300,5,\r\n,\"Hello\\nWorld\",\"Gothic\",fontsize=24\r\n");
}

TEST(BinSectionTest, LinesByTheEndingOfTheFile) {
  EXPECT_EQ(FormatBinLine({"a.avi", "a.avi", 0, 99, 48000, 16}),
            "a.avi,a.avi,in=0,out=99,audio=48000Hz16bit\r\n");
  EXPECT_EQ(FormatBinLine({"p", "p.JPG", 1, 2, 48000, 16}), "p,p.JPG,in=1,out=2\r\n");
  EXPECT_EQ(
      FormatBinLine({"x", "01200AAAAAA00BBBBBB00CCCCCC00DDDDDD.clr", 0, 5, 0, 0}),
      "ColorClip(count=1,direction=R,1st=AAAAAA,2nd=BBBBBB,3rd=CCCCCC,4th=DDDDDD),in=0,out=5\r\n");
}

TEST(BinSectionTest, AudioFieldsAndKindsOnTheWayBack) {
  const auto audio = [](std::string_view field) {
    const BinItem item = ParseBinLine("a.avi,a.avi,in=0,out=99," + std::string(field));
    return std::pair{item.audioRate, item.audioBits};
  };
  EXPECT_EQ(audio("audio=48000Hz16bit"), std::pair(48000, 16));
  EXPECT_EQ(audio("audio=32000Hz12bit"), std::pair(32000, 12));
  EXPECT_EQ(audio("audio=8000Hz8bit"), std::pair(8000, 8));
  EXPECT_EQ(audio("audio=192000Hz24bit"), std::pair(192000, 24));
  EXPECT_EQ(audio("AUDIO=048000hz16BIT"), std::pair(48000, 16));
  EXPECT_EQ(audio("audio=48000Hz16"), std::pair(48000, 16));
  EXPECT_THROW(audio("audio=48000Hz16bits"), FieldError);
  EXPECT_THROW(audio("audio=48000Hz1O"), FieldError);
  // The file, not the label, decides the layout.
  const BinItem still = ParseBinLine("clip.avi,p.jpg,in=3,out=4");
  EXPECT_EQ(still.label, "clip.avi");
  EXPECT_EQ(still.audioRate, 0);
  const BinItem colour = ParseBinLine(
      "ColorClip(count=1,direction=U,1st=AAAAAA,2nd=BBBBBB,3rd=CCCCCC,4th=DDDDDD),in=0,out=5");
  EXPECT_EQ(colour.label, "01000AAAAAA00BBBBBB00CCCCCC00DDDDDD.clr");
  EXPECT_EQ(colour.file, colour.label);
  EXPECT_EQ(colour.out, 5);
}

TEST(BinSectionTest, EveryItemComesBackUnchanged) {
  const BinItem items[] = {{"song", "song.MP3", -1, 7, 44100, 16},
                           {"ColorClip x", "v.avi", 0, 1, 0, 0},
                           {"a,b", "c\"d.wav", 0, 1, 8000, 8},
                           {"odd", "short.clr", 0, 1, 2, 3}};
  for (const BinItem& item : items) {
    const std::string line = FormatBinLine(item);
    const BinItem back = ParseBinLine(line.substr(0, line.size() - 2));
    ByteWriter a, b;
    WriteWalker writeA(a), writeB(b);
    BinItem first = item, second = back;
    WalkBinItem(writeA, first);
    WalkBinItem(writeB, second);
    EXPECT_EQ(a.Bytes(), b.Bytes()) << line;
  }
}

}  // namespace
}  // namespace pexol
