// tests/convert/FailureTest.cpp - damaged projects and mismatched texts fail clearly, never
// "completed"
#include <gtest/gtest.h>

#include <string>

#include "core/RunFailure.h"
#include "run/RunConversions.h"
#include "support/Conversions.h"
#include "support/SoftwareChosen.h"
#include "tools/builder/Bytes.h"
#include "tools/builder/ProjectBuilder.h"

namespace pexol {
namespace {

using test::AsBytes;
using test::ConvertToProject;
using test::ConvertToText;
using test::FailureMessage;
using test::ReplaceOnce;

TEST(FailureTest, EveryCutOfAProjectFailsAsEndingTooEarly) {
  const std::string project = build::BuildProject(build::DemoProject());
  for (std::size_t length = 0; length < project.size(); ++length) {
    const std::string cut = project.substr(0, length);
    try {
      ConvertToText(cut, Software::CorvaneBrisko);
      ADD_FAILURE() << "a project cut at " << length << " converted";
    } catch (const ProjectEndsEarly& e) {
      EXPECT_EQ(e.Offset(), length);
      EXPECT_FALSE(e.Where().empty());
    }
  }
}

TEST(FailureTest, AHugeCountInATinyFileFailsAtOnce) {
  const std::string project = build::Bytes{}
                                  .Word(0x0205)
                                  .Word(0)
                                  .Dword(0)
                                  .Dword(1)
                                  .Dword(48000)
                                  .Dword(0)
                                  .Str("a.avi")
                                  .Dword(0)
                                  .Dword(0)
                                  .Dword(0x7FFFFFFF)  // level points
                                  .data;
  ASSERT_LE(project.size(), 40u);
  EXPECT_THROW(ConvertToText(project, Software::CorvaneBrisko), ProjectEndsEarly);
  const std::string insertCount = build::Bytes{}
                                      .Word(0x0200)
                                      .Word(0)
                                      .Dword(0x7FFFFFFF)
                                      .Dword(0x7FFFFFFF)
                                      .Dword(0)
                                      .Str("a.avi")
                                      .data;
  EXPECT_THROW(ConvertToText(insertCount, Software::CorvaneBrisko), ProjectEndsEarly);
}

TEST(FailureTest, TheWrongSoftwareChoiceIsNamedAndTheRightOneSuggested) {
  build::Project shape = build::DemoProject();
  const std::string project = build::BuildProject(shape);
  EXPECT_FALSE(ProbeProject(AsBytes(project), Software::Lumetta).readable);
  EXPECT_TRUE(ProbeProject(AsBytes(project), Software::CorvaneBrisko).Exact());
  EXPECT_EQ(ChooseSoftware(AsBytes(project)), Software::CorvaneBrisko);

  shape.software = build::Software::Lumetta;
  const std::string lumetta = build::BuildProject(shape);
  EXPECT_EQ(ChooseSoftware(AsBytes(lumetta)), Software::Lumetta);
}

TEST(FailureTest, AClipOfNoKnownKindStopsTheRunNamingIt) {
  build::Project shape;
  shape.main.push_back({"a.avi", 0, 9, 0, "", 0, 0, {}});
  shape.main.push_back({"song.mp3", 0, 9, 0, "", 0, 0, {}});
  const std::string project = build::BuildProject(shape);
  EXPECT_EQ(FailureMessage([&] { ConvertToText(project, Software::CorvaneBrisko); }),
            "main track clip 2 (\"song.mp3\") is neither a movie, a still image nor a colour clip, "
            "so the rest of the file cannot be read.");
}

class TextMismatchTest : public testing::Test {
 protected:
  void SetUp() override {
    shape.main.push_back({"a.avi", 0, 9, 0, "", 0, 0, {}});
    shape.main.push_back({"b.avi", 0, 9, 0, "", 0, 0, {}});
    shape.insert.push_back({"i.avi", 0, 9, 5, "", 0, 0, {}});
    project = build::BuildProject(shape);
    text = ConvertToText(project, Software::CorvaneBrisko);
  }
  std::string Convert(const std::string& edited) {
    return FailureMessage([&] { ConvertToProject(edited, project, Software::CorvaneBrisko); });
  }
  build::Project shape;
  std::string project;
  std::string text;
};

TEST_F(TextMismatchTest, AMissingOrExtraLineIsCountedInItsSection) {
  EXPECT_EQ(Convert(ReplaceOnce(text, "b.avi,in=0,out=9,levelpoint(in=0,out=0)\r\n", "")),
            "line 8: [MainAV] has 1 line where the project has 2: a line was deleted, or this "
            "text was made from another project. Keep one line per record (a title has its "
            "position line and one line per element).");
  EXPECT_EQ(Convert(ReplaceOnce(text, "[InsertAV]\r\n",
                                "c.avi,in=0,out=9,levelpoint(in=0,out=0)\r\n[InsertAV]\r\n")),
            "line 9: [MainAV] has 3 lines where the project has 2: a line was added, or this "
            "text was made from another project. Keep one line per record (a title has its "
            "position line and one line per element).");
}

TEST_F(TextMismatchTest, AHeadingOutOfPlaceIsNamed) {
  EXPECT_EQ(Convert(ReplaceOnce(text, "[ExAudio1]\r\n[ExAudio2]", "[ExAudio2]\r\n[ExAudio1]")),
            "line 11: expected the heading \"[ExAudio1]\" but found \"[ExAudio2]\".");
}

TEST_F(TextMismatchTest, ATextThatEndsEarly) {
  EXPECT_EQ(Convert(text.substr(0, text.find("[ExAudio2]"))),
            "the text ends after line 11, where the heading \"[ExAudio2]\" was expected.");
  EXPECT_EQ(Convert("no sections at all\r\n"),
            "the text ends after line 1, where the heading \"[MainAV]\" was expected.");
}

TEST_F(TextMismatchTest, ALineWhoseKindCannotBeTold) {
  EXPECT_EQ(Convert(ReplaceOnce(text, "b.avi,", "b.mov,")),
            "line 8: the kind of clip cannot be told from its name (it must end in \"avi\", a "
            "still-image ending or \"clr\", or the line must start with \"ColorClip\").");
}

TEST_F(TextMismatchTest, ATextTooLongForTheProject) {
  EXPECT_EQ(Convert(ReplaceOnce(text, "b.avi,", std::string(70000, 'n') + ".avi,")),
            "line 8: the name \"" + std::string(60, 'n') +
                "...\" is 70004 bytes long; a project holds names of up to 254 bytes (as "
                "Shift-JIS).");
}

TEST_F(TextMismatchTest, StillPositionsBeyondTwentyFourBitsAreRefused) {
  build::Project stills;
  stills.main.push_back({"s.jpg", 0, 9, 0, "", 0, 0, {}});
  const std::string source = build::BuildProject(stills);
  const std::string edited =
      ReplaceOnce(ConvertToText(source, Software::CorvaneBrisko), "out=9,", "out=16777216,");
  EXPECT_EQ(FailureMessage([&] { ConvertToProject(edited, source, Software::CorvaneBrisko); }),
            "line 7: out=16777216 of a still or colour clip is outside what a project can hold "
            "(-16777216 to 16777215).");
  const std::string lowest =
      ReplaceOnce(ConvertToText(source, Software::CorvaneBrisko), "in=0,", "in=-16777216,");
  EXPECT_EQ(test::TextPart(ConvertToText(ConvertToProject(lowest, source, Software::CorvaneBrisko),
                                         Software::CorvaneBrisko)),
            test::TextPart(lowest));
}

}  // namespace
}  // namespace pexol
