// tests/relink/RelinkTest.cpp - media names moved by folder, every other byte kept
#include "relink/RelinkProject.h"

#include <gtest/gtest.h>

#include "core/RunFailure.h"
#include "support/Conversions.h"
#include "tools/builder/ProjectBuilder.h"

namespace pexol {
namespace {

using test::AsBytes;

// "C:\ビデオ\表.avi": ビ is 83 72, the second byte of 表 (95 5C) is a backslash byte.
const std::string oldFolder = "C:\\\x83\x72\x83\x66\x83\x49";
const std::string table = "\x95\x5C";
// ED 40 (an NEC-selected IBM extension) decodes to a character that encodes back as FA 5C.
const std::string necIbm = "\xED\x40";

build::Project ProjectNaming(const std::string& folder) {
  build::Project p;
  p.version = 0x207;
  build::Clip movie;
  movie.name = folder + "\\" + table + ".avi";
  movie.out = 99;
  build::Clip still;
  still.name = folder + "\\still.jpg";
  still.out = 9;
  build::Clip colour;
  colour.name = "12200AAAAAA00BBBBBB00CCCCCC00DDDDDD.clr";
  build::Clip untouched;
  untouched.name = "E:\\" + necIbm + "\\keep.avi";
  p.main = {movie, still, colour, untouched};
  build::Clip insert = movie;
  insert.begin = 40;
  p.insert = {insert};
  p.exAudio1 = {{folder + "\\bgm.wav", 0, 9, 0, 0, 0, {}}};
  p.exAudio2 = {
      {"c:/" + std::string("\x83\x72\x83\x66\x83\x49") + "/voice.wav", 0, 9, 0, 0, 0, {}}};
  build::Title title;
  title.elements.resize(2);
  title.elements[0].text = "Hello";
  title.elements[1].text = folder + "\\logo.bmp";
  title.elements[1].elementValue = 1;
  p.titles = {title};
  p.bin = {{"label", folder + "\\" + table + ".avi", 0, 99, 48000, 16},
           {"keep", "E:\\" + necIbm + "\\keep.avi", 0, 1, 0, 0}};
  return p;
}

std::string Relink(const std::string& bytes, const std::string& rule,
                   std::vector<NameChange>* changes = nullptr) {
  NullObserver quiet;
  RunProgress progress(quiet);
  const Project project = ReadProject(AsBytes(bytes), {Software::CorvaneBrisko}, progress);
  PathMap rules;
  std::string error;
  rules.Add(*ParseRelinkRule(rule, error));
  return RelinkProject(AsBytes(bytes), project, rules, [&](const NameChange& change) {
    if (changes != nullptr) changes->push_back(change);
  });
}

TEST(RelinkTest, EveryMediaNameMovesAndEveryOtherByteStays) {
  const std::string before = build::BuildProject(ProjectNaming(oldFolder));
  std::vector<NameChange> changes;
  // Case and separators of the old folder do not matter; ビデオ is "\xE3\x83\x93..." in UTF-8.
  const std::string relinked = Relink(before, "c:/ビデオ=D:\\Archive", &changes);
  // The project built with the new names is the relinked one, byte for byte: the exAudio2
  // name, stored with '/', takes the new folder's '\' throughout.
  build::Project expected = ProjectNaming("D:\\Archive");
  expected.exAudio2[0].name = "D:\\Archive\\voice.wav";
  EXPECT_EQ(relinked, build::BuildProject(expected));
  // And a folder written with '/' gives every name '/'.
  build::Project slashed = ProjectNaming("D:/Archive");
  for (build::Clip* clip : {&slashed.main[0], &slashed.main[1], &slashed.insert[0]})
    clip->name.replace(clip->name.find('\\', 3), 1, "/");
  slashed.exAudio1[0].name = "D:/Archive/bgm.wav";
  slashed.exAudio2[0].name = "D:/Archive/voice.wav";
  slashed.titles[0].elements[1].text = "D:/Archive/logo.bmp";
  slashed.bin[0].file = "D:/Archive/" + table + ".avi";
  EXPECT_EQ(Relink(before, "C:\\ビデオ=D:/Archive"), build::BuildProject(slashed));
  ASSERT_EQ(changes.size(), 7u);  // colour clips and the unmatched names stay
  EXPECT_EQ(changes[0].section, "[MainAV]");
  EXPECT_EQ(changes[0].before, "C:\\ビデオ\\表.avi");
  EXPECT_EQ(changes[0].after, "D:\\Archive\\表.avi");
}

TEST(RelinkTest, NamesNoRuleMatchesKeepTheirBytes) {
  const std::string before = build::BuildProject(ProjectNaming(oldFolder));
  EXPECT_EQ(Relink(before, "C:\\Other=D:\\Archive"), before);
  // A prefix matches whole folders only.
  EXPECT_EQ(Relink(before, "C:\\ビデ=D:\\Archive"), before);
}

TEST(RelinkTest, ANameShiftJisCannotHoldIsRefusedWithTheName) {
  const std::string before = build::BuildProject(ProjectNaming(oldFolder));
  try {
    Relink(before, "C:\\ビデオ=D:\\😀");
    FAIL();
  } catch (const RunFailure& e) {
    EXPECT_NE(std::string(e.what()).find("D:\\😀\\表.avi"), std::string::npos) << e.what();
    EXPECT_NE(std::string(e.what()).find("holds \"😀\" (U+1F600), which Shift-JIS cannot hold"),
              std::string::npos)
        << e.what();
  }
  std::string error;
  EXPECT_FALSE(ParseRelinkRule("C:\\Video", error));
  EXPECT_FALSE(ParseRelinkRule("=D:\\Video", error));
}

}  // namespace
}  // namespace pexol
