// tests/convert/RoundTripTest.cpp - project to text and back gives the same bytes, and edits
// come back
#include <gtest/gtest.h>

#include <string>

#include "support/Conversions.h"
#include "tools/builder/ProjectBuilder.h"

namespace pexol {
namespace {

using test::ConvertToProject;
using test::ConvertToText;
using test::CoreSoftware;
using test::ReplaceOnce;

struct Shape {
  std::uint16_t version;
  build::Software software;
};

std::string ShapeName(const testing::TestParamInfo<Shape>& info) {
  char name[32];
  std::snprintf(name, sizeof name, "v%03X_%s", info.param.version,
                info.param.software == build::Software::Lumetta ? "Lumetta" : "Corvane");
  return name;
}

class RoundTrip : public testing::TestWithParam<Shape> {};

TEST_P(RoundTrip, ManyGeneratedProjectsComeBackByteForByte) {
  const Shape shape = GetParam();
  const Software software = CoreSoftware(shape.software);
  for (std::uint32_t seed = 0; seed < 60; ++seed) {
    const std::string project =
        build::BuildProject(build::RandomProject(seed, shape.version, shape.software));
    // No real project is taken for a file of another kind, whatever its first bytes.
    ASSERT_TRUE(HeaderMayBeAProject(test::AsBytes(project))) << "seed " << seed;
    const std::string text = ConvertToText(project, software);
    ASSERT_EQ(ConvertToProject(text, project, software), project) << "seed " << seed;
  }
}

INSTANTIATE_TEST_SUITE_P(
    AllVersions, RoundTrip,
    testing::Values(
        Shape{0x1FF, build::Software::CorvaneBrisko}, Shape{0x1FF, build::Software::Lumetta},
        Shape{0x200, build::Software::CorvaneBrisko}, Shape{0x200, build::Software::Lumetta},
        Shape{0x205, build::Software::CorvaneBrisko}, Shape{0x205, build::Software::Lumetta},
        Shape{0x206, build::Software::CorvaneBrisko}, Shape{0x206, build::Software::Lumetta},
        Shape{0x207, build::Software::CorvaneBrisko}, Shape{0x207, build::Software::Lumetta},
        Shape{0x20A, build::Software::CorvaneBrisko}, Shape{0x20A, build::Software::Lumetta}),
    ShapeName);

TEST(RoundTripTest, SampleProjectsAndAnEmptyMainTrack) {
  for (const build::Project& shape :
       {build::DemoProject(), build::LargeProject(), build::Project{}}) {
    const std::string project = build::BuildProject(shape);
    EXPECT_TRUE(HeaderMayBeAProject(test::AsBytes(project)));
    const std::string text = ConvertToText(project, Software::CorvaneBrisko);
    EXPECT_EQ(ConvertToProject(text, project, Software::CorvaneBrisko), project);
  }
}

TEST(RoundTripTest, AnEmptyMainTrackKeepsItsHeadingsInPlace) {
  build::Project shape;
  shape.bin.push_back({"a", "a.avi", 0, 9, 48000, 16});
  const std::string project = build::BuildProject(shape);
  const std::string text = ConvertToText(project, Software::CorvaneBrisko);
  EXPECT_EQ(
      test::TextPart(text),
      "[Header]\r\nVersion=02.07\r\nFrequency=48kHz16bit\r\nAspectRatio=4:3\r\nTitleTrack=0\r\n"
      "[MainAV]\r\n[InsertAV]\r\n[ExAudio1]\r\n[ExAudio2]\r\n[Effect]\r\n[Title]\r\n"
      "[FilterMainAV]\r\n[FilterInsertAV]\r\n[FilterExAudio1]\r\n[FilterExAudio2]\r\n"
      "[BinWindow]\r\na,a.avi,in=0,out=9,audio=48000Hz16bit\r\n[Option]\r\n[END]\r\n");
  const std::string edited = ReplaceOnce(text, "out=9,", "out=19,");
  shape.bin[0].out = 19;
  EXPECT_EQ(ConvertToProject(edited, project, Software::CorvaneBrisko), build::BuildProject(shape));
}

// A project whose text is edited by hand the way users do.
build::Project EditableProject() {
  build::Project p;
  p.version = 0x207;
  p.main.push_back({"clips/a.avi", 10, 20, 0, "", 0, 0, {{5, 100}}});
  p.main.push_back({"pics/b.jpg", 0, 149, 0, "info", 0, 0, {}});
  p.insert.push_back({"ins.avi", 1, 50, 300, "", 7, 7, {}});
  p.exAudio1.push_back({"bgm.wav", 0, 299, 150, 100, 100, {}});
  build::Title title;
  title.elements.push_back({});
  title.elements[0].text = "Hello";
  title.elements[0].fontName = "Gothic";
  title.elements[0].fontSize = 24;
  p.titles.push_back(title);
  p.bin.push_back({"b", "pics/b.jpg", 0, 149, 0, 0});
  return p;
}

TEST(HandEditTest, EditedValuesComeBackAsEdited) {
  build::Project shape = EditableProject();
  const std::string project = build::BuildProject(shape);
  std::string text = ConvertToText(project, Software::CorvaneBrisko);
  text = ReplaceOnce(text, "clips/a.avi,in=10,out=20,levelpoint(in=0,out=0,5=100)",
                     "renamed/a2.avi,in=12,out=40,levelpoint(in=9,out=8,5=100,30=50)");
  text = ReplaceOnce(text, "\"Hello\",\"Gothic\",fontsize=24",
                     "\"Hi, \\\"you\\\"\\n\",\"Mincho\",fontsize=36");
  text = ReplaceOnce(text, "[MainAV]", "[mainav]");
  text = ReplaceOnce(text, "[InsertAV]\r\n", "\r\n\r\n[InsertAV]\r\n\r\n");
  text = ReplaceOnce(text, "b,pics/b.jpg,in=0,out=149", "b,pics/c.PNG,in=5,out=99");

  shape.main[0] = {"renamed/a2.avi", 12, 40, 0, "", 9, 8, {{5, 100}, {30, 50}}};
  shape.titles[0].elements[0].text = "Hi, \"you\"\n";
  shape.titles[0].elements[0].fontName = "Mincho";
  shape.titles[0].elements[0].fontSize = 36;
  shape.bin[0] = {"b", "pics/c.PNG", 5, 99, 0, 0};
  EXPECT_EQ(ConvertToProject(text, project, Software::CorvaneBrisko), build::BuildProject(shape));
}

TEST(HandEditTest, TitlePositionsAndUnknownHeaderLinesAreNotRead) {
  const std::string project = build::BuildProject(EditableProject());
  std::string text = ConvertToText(project, Software::CorvaneBrisko);
  text = ReplaceOnce(text, "Version=02.07\r\n", "Version=02.07\r\nComment=mine\r\n");
  text = ReplaceOnce(text, "begin=0,0,", "begin=999,7,");
  EXPECT_EQ(ConvertToProject(text, project, Software::CorvaneBrisko), project);
}

TEST(HandEditTest, LongTitleTextsUseTheLongFormAndComeBack) {
  build::Project shape = EditableProject();
  const std::string project = build::BuildProject(shape);
  const std::string longText(4000, 'z');
  const std::string text = ReplaceOnce(ConvertToText(project, Software::CorvaneBrisko), "\"Hello\"",
                                       "\"" + longText + "\"");
  shape.titles[0].elements[0].text = longText;
  EXPECT_EQ(ConvertToProject(text, project, Software::CorvaneBrisko), build::BuildProject(shape));
}

}  // namespace
}  // namespace pexol
