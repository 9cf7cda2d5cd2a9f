// tests/convert/HandEditTest.cpp - edited texts: what is refused and why, line ends, UTF-8 texts
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "core/TextEncoding.h"
#include "run/RunMessages.h"
#include "support/Conversions.h"
#include "tools/builder/ProjectBuilder.h"

namespace pexol {
namespace {

using test::AsBytes;
using test::FailureMessage;
using test::ReplaceOnce;

std::string ToText(std::string_view project, TextEncoding encoding = TextEncoding::ShiftJis) {
  ByteWriter text;
  NullObserver quiet;
  ToTextOptions options;
  options.encoding = encoding;
  ProjectToText(AsBytes(project), options, text, quiet);
  return text.TakeBytes();
}

std::string ToProject(std::string_view text, std::string_view project,
                      TextEncoding encoding = TextEncoding::ShiftJis) {
  ByteWriter out;
  NullObserver quiet;
  TextToProject(AsBytes(project), text, {Software::CorvaneBrisko, encoding}, out, quiet);
  return out.TakeBytes();
}

// One record of each line layout.
build::Project EveryLayout() {
  build::Project p;
  p.main.push_back({"a.avi", 10, 20, 0, "", 0, 0, {{5, 100}}});
  p.main.push_back({"s.jpg", 0, 149, 0, "info", 0, 0, {}});
  p.main.push_back({build::ColorClipName(1, 2, 2, "FF0000", "00FF00", "0000FF", "FFFFFF"),
                    0,
                    89,
                    0,
                    "",
                    0,
                    0,
                    {}});
  p.insert.push_back({build::ColorClipName(3, 1, 5, "AAAAAA", "BBBBBB", "CCCCCC", "DDDDDD"),
                      1,
                      50,
                      300,
                      "",
                      0,
                      0,
                      {}});
  p.exAudio1.push_back({"bgm.wav", 0, 299, 150, 100, 100, {}});
  build::Title title;
  title.elements.push_back({});
  title.elements[0].text = "Hello";
  title.elements[0].fontName = "Gothic";
  title.elements[0].fontSize = 24;
  p.titles.push_back(title);
  p.bin.push_back({"b", "pics/b.jpg", 0, 149, 0, 0});
  p.bin.push_back({"My red", build::ColorClipName(0, 1, 0, "FF0000", "FF0000", "FF0000", "FF0000"),
                   0, 9, 0, 0});
  return p;
}

class RefusalTest : public testing::Test {
 protected:
  std::string project = build::BuildProject(EveryLayout());
  std::string text = ToText(project);
  std::string Convert(std::string_view from, std::string_view to) {
    const std::string edited = ReplaceOnce(text, from, to);
    return FailureMessage([&] { ToProject(edited, project); });
  }
};

TEST_F(RefusalTest, EveryEditThatCannotBeReadIsRefusedWithItsLineAndField) {
  const std::string movie =
      "; a movie clip line of [MainAV] reads NAME,in=N,out=N,levelpoint(in=N,out=N,"
      "POSITION=LEVEL,...).";
  const struct {
    std::string_view from, to, message;
  } cases[] = {
      {"in=10,", "in=abc,", "line 7: field 2 is \"in=abc\": \"in=\" must be followed by a number"},
      {"in=10,", "in=,", "line 7: field 2 is \"in=\": \"in=\" must be followed by a number"},
      {"in=10,", "in=99999999999,",
       "line 7: field 2 is \"in=99999999999\": the number does not fit 32 bits"},
      {"5=100)", "5=x)", "line 7: field 6 is \"5=x)\", where a level point POSITION=LEVEL"},
      {"a.avi,in=10", "a.avi,inn=10", "line 7: field 2 is \"inn=10\" where \"in=\" belongs"},
      {"a.avi,in=10,", "a.avi,", "line 7: field 2 is \"out=20\" where \"in=\" belongs"},
      {"s.jpg,in=0,out=149,info,", "s.jpg,in=0,out=149,",
       "line 8: field 5 is \"out=0)\" where \"levelpoint(in=\" belongs; a still clip line of "
       "[MainAV] reads NAME,in=N,out=N,INFO,levelpoint"},
      {"a.avi,in=10,out=20,levelpoint(in=0,out=0,5=100)", "a.avi,in=10",
       "line 7: the line ends before field 3, where \"out=\" belongs"},
      {"b,pics/b.jpg,in=0,out=149", "b,pics/b.jpg,in=0,out=149,audio=48000Hz16bit",
       "line 24: field 5 is \"audio=48000Hz16bit\", but the line should end before it; a still "
       "image item line of [BinWindow] reads LABEL,FILE,in=N,out=N."},
      {"1st=FF0000", "1st=GG0000", "line 9: field 4 is \"1st=GG0000\": a colour is six"},
      {"direction=BL", "direction=X", "line 11: field 2 is \"direction=X\": the direction is"},
      {"a.avi,in=10", "\"a.avi,in=10", "line 7: field 1 is \"\"a.avi,in=10,out=20,levelpoint("},
      {"\"Hello\",", "\"Hello\"x,", "line 18: field 3 is \"\"Hello\"x\": a comma must follow"},
      {"fontsize=24", "size=24", "line 18: field 5 is \"size=24\" where \"fontsize=\" belongs"},
      {"begin=0,0,", "x,", "line 17: \"x,\" stands where the position line of title 1"},
      // A letter typed into a number is refused, not cut off.
      {"in=10,", "in=1O,",
       "line 7: field 2 is \"in=1O\": \"O\" after the number is no part of it; write the number "
       "alone;"},
      {"in=10,", "in=1.5,", "line 7: field 2 is \"in=1.5\": \".5\" after the number"},
      {"5=100)", "5=10O)", "line 7: field 6 is \"5=10O)\", where a level point POSITION=LEVEL"},
      {"out=0,5=100)", "out=0),5=100)",
       "line 7: field 5 is \"out=0)\": its \")\" closes the level list, so no field may follow"},
      {"fontsize=24", "fontsize=24px",
       "line 18: field 5 is \"fontsize=24px\": \"px\" after the number is no part of it; write "
       "the number alone or with \"pt\";"},
      // A backslash that escapes nothing pexol writes: typed as itself, or a Shift-JIS byte.
      {"\"Hello\"", "\"C:\\pics\\x.jpg\"",
       "line 18: field 3 is \"\"C:\\pics\\x.jpg\"\": a backslash inside quotes must be followed "
       "by n, r, \" or \\. Write \\\\ for a backslash, double the second byte of characters "
       "such as \xE8\xA1\xA8, \xE3\x82\xBD and \xE4\xBA\x88 (as pexol writes them), or edit the "
       "text in UTF-8 (--encoding utf-8), where characters are whole;"},
      {"\"Hello\"", "\"\x95\x5C\x8E\xA6\"",
       "line 18: field 3 is \"\"\xE8\xA1\xA8\xE7\xA4\xBA\"\": a "
       "backslash inside quotes"},
      {"Version=02.07", "Version=02.05",
       "line 2: the header cannot be edited (it always comes from the project), but this "
       "text's header has Version=02.05 where the project has Version=02.07. Put back the "
       "project's value, or convert the text with the project it was made from."},
      {"[InsertAV]", "[Insert AV]",
       "line 10: \"[Insert AV]\" is not a heading. The text must have the headings [Header], "
       "[MainAV], [InsertAV], [ExAudio1], [ExAudio2], [Effect], [Title], [FilterMainAV], "
       "[FilterInsertAV], [FilterExAudio1], [FilterExAudio2], [BinWindow], [Option], [END], "
       "in this order, each on a line of its own (any case)."},
      {"[MainAV]", "[Main]", "line 6: \"[Main]\" is not a heading."},
  };
  for (const auto& edit : cases) {
    const std::string message = Convert(edit.from, edit.to);
    EXPECT_EQ(message.substr(0, edit.message.size()), edit.message) << edit.to << "\n" << message;
  }
}

TEST_F(RefusalTest, CountsThatDifferInSeveralSectionsTellAnotherProject) {
  const std::string other =
      ReplaceOnce(ReplaceOnce(text, "[ExAudio2]",
                              "x.wav,in=0,out=1,begin=0,levelpoint(in=0,out=0)\r\n[ExAudio2]"),
                  "b,pics/b.jpg,in=0,out=149\r\n", "");
  EXPECT_EQ(FailureMessage([&] { ToProject(other, project); }),
            "line 14: this text was made from another project: [ExAudio1] has 2 lines where the "
            "project has 1; [BinWindow] has 1 line where the project has 2. Convert it with the "
            "project it was made from (the header and the number of lines always come from the "
            "project).");
}

TEST_F(RefusalTest, AHeaderChangedWithTheCountsTellsAnotherProject) {
  const std::string other = ReplaceOnce(ReplaceOnce(text, "Version=02.07", "Version=02.05"),
                                        "b,pics/b.jpg,in=0,out=149\r\n", "");
  EXPECT_EQ(FailureMessage([&] { ToProject(other, project); }).substr(0, 126),
            "line 2: this text was made from another project: its header has Version=02.05 where "
            "the project has Version=02.07; [BinWindow]");
}

TEST_F(RefusalTest, FilesGivenInTheWrongOrderAreToldApart) {
  EXPECT_EQ(FailureMessage([&] { ToProject(project, text); }), std::string(textGivenAsProject));
  EXPECT_EQ(FailureMessage([&] { ToText(text); }), std::string(textGivenAsProject));
  EXPECT_EQ(FailureMessage([&] {
              ByteWriter out;
              WriteEditedProject({}, project, {}, out);
            }).substr(0, 50),
            "it starts with binary bytes, as a project does, so");
}

TEST_F(RefusalTest, WhatTheFormatHasAlwaysAcceptedStaysAccepted) {
  std::string edited = ReplaceOnce(text, "fontsize=24", "FontSize=024pt");
  edited = ReplaceOnce(edited, "5=100)", "0005=-1)");
  edited = ReplaceOnce(edited, "[MainAV]", "[mainav]");
  build::Project shape = EveryLayout();
  shape.titles[0].elements[0].fontSize = 24;
  shape.main[0].points = {{5, 0xFFFF}};
  EXPECT_EQ(ToProject(edited, project), build::BuildProject(shape));
}

TEST_F(RefusalTest, EscapesAndLengthsOfTextFields) {
  build::Project shape = EveryLayout();
  // The escapes pexol writes, and a Shift-JIS character whose second byte is doubled.
  shape.titles[0].elements[0].text = "\x95\x5C\"\r\n\\";
  // Outside quotes a backslash is itself.
  shape.bin[0].file = "C:\\pics\\b.jpg";
  std::string edited = ReplaceOnce(text, "\"Hello\"", "\"\x95\x5C\x5C\\\"\\r\\n\\\\\"");
  edited = ReplaceOnce(edited, ",pics/b.jpg,", ",C:\\pics\\b.jpg,");
  EXPECT_EQ(ToProject(edited, project), build::BuildProject(shape));

  // A font name holding a 5C byte reads back as stored when its line is edited.
  shape = EveryLayout();
  shape.titles[0].elements[0].fontName = "\x83\x5C\x83\x74\x83\x67";
  const std::string fontProject = build::BuildProject(shape);
  shape.titles[0].elements[0].fontSize = 30;
  EXPECT_EQ(ToProject(ReplaceOnce(ToText(fontProject), "fontsize=24", "fontsize=30"), fontProject),
            build::BuildProject(shape));

  // Names have a one-byte length in a project; title texts may be longer.
  shape = EveryLayout();
  shape.main[0].name = std::string(250, 'n') + ".avi";
  shape.titles[0].elements[0].text = std::string(300, 't');
  edited = ReplaceOnce(text, "a.avi,", shape.main[0].name + ",");
  edited = ReplaceOnce(edited, "\"Hello\"", "\"" + shape.titles[0].elements[0].text + "\"");
  EXPECT_EQ(ToProject(edited, project), build::BuildProject(shape));
  EXPECT_EQ(Convert("a.avi,", std::string(251, 'n') + ".avi,"),
            "line 7: the name \"" + std::string(60, 'n') +
                "...\" is 255 bytes long; a project holds names of up to 254 bytes (as "
                "Shift-JIS).");
  EXPECT_EQ(Convert("\"Hello\"", "\"" + std::string(70000, 't') + "\""),
            "line 18: a text of 70000 bytes is longer than a project can hold (65535 bytes).");
}

// The demo's first clip, 0 to 299, is followed by a dissolve the project places after 280
// frames, so the dissolve lasts 20; the second clip lasts 150.
class TransitionEditTest : public testing::Test {
 protected:
  std::string project = build::BuildProject(build::DemoProject());
  std::string text = ToText(project);
  WalkSummary Convert(std::string_view from, std::string_view to) {
    ByteWriter out;
    NullObserver quiet;
    return TextToProject(AsBytes(project), ReplaceOnce(text, from, to),
                         {Software::CorvaneBrisko, TextEncoding::ShiftJis}, out, quiet);
  }
  std::string Refusal(std::string_view from, std::string_view to) {
    return FailureMessage([&] { Convert(from, to); });
  }
};

TEST_F(TransitionEditTest, EditsThatBreakATransitionAreRefusedWithTheLengths) {
  EXPECT_EQ(Refusal("intro.avi,in=0,", "intro.avi,in=60,"),
            "line 7: the dissolve after this clip would last -40 frames: the clip now lasts 240, "
            "the project places the dissolve after 280. Keep the clip at least 280 frames long; "
            "transitions are changed in the editor.");
  EXPECT_EQ(Refusal("intro.avi,in=0,out=299", "intro.avi,in=0,out=479"),
            "line 7: the dissolve after this clip would last 200 frames, longer than the clip "
            "after it (line 8), which lasts 150: the clip now lasts 480, the project places the "
            "dissolve after 280. Keep the transition within the clip after it; transitions are "
            "changed in the editor.");
  EXPECT_EQ(Refusal("sunset.jpg,in=0,out=149", "sunset.jpg,in=0,out=9").substr(0, 60),
            "line 8: the dissolve after this clip would last 20 frames, l");
  EXPECT_EQ(Refusal("scene2.AVI,in=30,", "scene2.AVI,in=500,"),
            "line 9: out=479 falls before in=500: a clip lasts from its in to its out frame, so "
            "out must not be less than in.");
  EXPECT_EQ(Refusal("voice.wav,in=10,", "voice.wav,in=300,").substr(0, 37),
            "line 19: out=209 falls before in=300:");
}

TEST_F(TransitionEditTest, AChangedTransitionLengthIsAWarning) {
  EXPECT_EQ(Convert("intro.avi,in=0,", "intro.avi,in=10,").warnings,
            std::vector<std::string>{"line 7: the dissolve after this clip now lasts 10 frames "
                                     "instead of 20 (the clip now lasts 290, the project places "
                                     "the dissolve after 280)."});
  EXPECT_EQ(Convert("scene2.AVI,in=30,", "scene2.AVI,in=35,").warnings.at(0).substr(0, 71),
            "line 9: the transition after this clip now lasts 5 frames instead of 10");
  // The second clip may change as long as the dissolve still fits it.
  EXPECT_TRUE(Convert("sunset.jpg,in=0,out=149", "sunset.jpg,in=0,out=19").warnings.empty());
}

// A project that already holds a negative transition or an out before its in converts as
// long as the edits leave them as they were.
TEST(TransitionLeniencyTest, WhatTheProjectHeldPassesUntilAnEditChangesIt) {
  build::Project shape;
  shape.main = {{"a.avi", 0, 99, 0, "", 0, 0, {}},
                {"b.avi", 0, 9, 0, "", 0, 0, {}},
                {"c.avi", 20, 10, 0, "", 0, 0, {}}};
  build::Effect dissolve;
  dissolve.clipLength = 150;  // the dissolve after a.avi lasts -50 frames
  dissolve.name = "Dissolve";
  shape.effects = {dissolve};
  const std::string project = build::BuildProject(shape);
  const std::string text = ToText(project);
  std::string edited =
      ReplaceOnce(text, "b.avi,in=0,out=9,levelpoint(in=0", "b.avi,in=0,out=9,levelpoint(in=7");
  edited = ReplaceOnce(edited, "c.avi,", "d.avi,");
  shape.main[1].levelIn = 7;
  shape.main[2].name = "d.avi";
  EXPECT_EQ(ToProject(edited, project), build::BuildProject(shape));
  EXPECT_EQ(FailureMessage([&] {
              ToProject(ReplaceOnce(text, "out=10,", "out=11,"), project);
            }).substr(0, 34),
            "line 9: out=11 falls before in=20:");
  EXPECT_EQ(FailureMessage([&] {
              ToProject(ReplaceOnce(text, "out=99,", "out=98,"), project);
            }).substr(0, 59),
            "line 7: the dissolve after this clip would last -51 frames:");
}

// Lines the user left alone give back their records' own bytes, even what no line shows.
TEST_F(RefusalTest, UnchangedColourLinesKeepTheirTypeDigitAndLabel) {
  EXPECT_EQ(ToProject(text, project), project);
  build::Project shape = EveryLayout();
  shape.insert[0].out = 51;
  shape.bin[1].out = 8;
  std::string edited = ReplaceOnce(text, "in=1,out=50,", "in=1,out=51,");
  edited = ReplaceOnce(edited, "in=0,out=9\r\n", "in=0,out=8\r\n");
  EXPECT_EQ(ToProject(edited, project), build::BuildProject(shape));
}

TEST(LineEndTest, LfAloneAndMixedLineEndsGiveTheSameProject) {
  for (const build::Project& shape : {build::DemoProject(), EveryLayout()}) {
    const std::string project = build::BuildProject(shape);
    const std::string text = ToText(project);
    std::string lf, mixed;
    bool crlf = false;
    for (char c : text) {
      if (c == '\r') continue;
      if (c == '\n') mixed += (crlf = !crlf) ? "\r\n" : "\n";
      if (c != '\n') mixed += c;
      lf += c;
    }
    EXPECT_EQ(ToProject(lf, project), project);
    EXPECT_EQ(ToProject(mixed, project), project);
  }
}

TEST(Utf8TextTest, EveryBuilderProjectComesBackThroughAUtf8Text) {
  int converted = 0;
  std::vector<std::string> projects = {build::BuildProject(build::DemoProject()),
                                       build::BuildProject(build::LargeProject()),
                                       build::BuildProject(build::Project{})};
  for (std::uint32_t seed = 0; seed < 40; ++seed)
    for (std::uint16_t version : {0x1FF, 0x205, 0x207})
      projects.push_back(
          build::BuildProject(build::RandomProject(seed, version, build::Software::CorvaneBrisko)));
  for (const std::string& project : projects) {
    std::string text;
    try {
      text = ToText(project, TextEncoding::Utf8);
    } catch (const EncodingFailure& failure) {
      // Random names hold bytes that are no Shift-JIS; such a project needs the default.
      EXPECT_NE(std::string(failure.what()).find("is not valid Shift-JIS"), std::string::npos);
      continue;
    }
    ++converted;
    ASSERT_TRUE(IsValidUtf8(test::TextPart(text)));
    EXPECT_EQ(ToProject(text, project, TextEncoding::Utf8), project);
    EXPECT_EQ(ToProject(text, project, TextEncoding::Utf8), ToProject(ToText(project), project));
  }
  EXPECT_GE(converted, 10);
}

// 87 90 and ED 40 decode to characters whose own Shift-JIS bytes are 81 E0 and FA 5C.
build::Project DuplicateCharacters() {
  build::Project p;
  p.main.push_back({"\x87\x90.avi", 0, 9, 0, "", 0, 0, {}});
  p.bin.push_back({"\xED\x40", "\x87\x90.avi", 0, 9, 48000, 16});
  build::Title title;
  title.elements.push_back({});
  title.elements[0].text = "\x83\x5e\xED\x40";
  p.titles.push_back(title);
  return p;
}

TEST(Utf8TextTest, NamesKeepTheirBytesUnlessTheUserChangedThem) {
  const std::string project = build::BuildProject(DuplicateCharacters());
  const std::string text = ToText(project, TextEncoding::Utf8);
  EXPECT_NE(text.find("\xE2\x89\x92.avi,in=0,out=9,"), std::string::npos);  // U+2252
  EXPECT_NE(text.find(" MAIN "), std::string::npos);
  EXPECT_NE(text.find("   \xE2\x89\x92.avi\r\n"), std::string::npos);  // the EDL is UTF-8 too
  EXPECT_EQ(ToProject(text, project, TextEncoding::Utf8), project);

  build::Project shape = DuplicateCharacters();
  shape.main[0].out = 8;
  shape.bin[0].file = "\x81\xE0\x83\x41.avi";  // typed anew: encoded as Shift-JIS encodes it
  std::string edited = ReplaceOnce(text, ".avi,in=0,out=9,", ".avi,in=0,out=8,");
  edited = ReplaceOnce(edited, ",\xE2\x89\x92.avi,in=0,out=9,audio",
                       ",\xE2\x89\x92\xE3\x82\xA2.avi,in=0,out=9,audio");
  edited = ReplaceOnce(edited, "fontsize=0", "fontsize=12");
  shape.titles[0].elements[0].fontSize = 12;
  EXPECT_EQ(ToProject(edited, project, TextEncoding::Utf8), build::BuildProject(shape));
}

TEST(Utf8TextTest, WhatShiftJisCannotCarryIsRefused) {
  const std::string project = build::BuildProject(DuplicateCharacters());
  const std::string text = ToText(project, TextEncoding::Utf8);
  EXPECT_EQ(FailureMessage([&] {
              ToProject(ReplaceOnce(text, "\xE2\x89\x92.avi,", "caf\xC3\xA9.avi,"), project,
                        TextEncoding::Utf8);
            }),
            "line 7: the name \"caf\xC3\xA9.avi\" holds \"\xC3\xA9\" (U+00E9), which Shift-JIS "
            "cannot hold; a project stores its names in Shift-JIS.");

  // A text read with JIS's Shift-JIS table (iconv's SHIFT_JIS) holds \u00A5 for each \ and
  // seven other characters that code page 932 reads otherwise: CP932 is named as the cure.
  build::Project windows;
  windows.main.push_back({"C:\\Video\\a.avi", 0, 9, 0, "", 0, 0, {}});
  const std::string shown = ToText(build::BuildProject(windows), TextEncoding::Utf8);
  const std::string advice =
      " The text was converted from Shift-JIS with a table other than the projects' own "
      "(iconv's SHIFT_JIS turns \\ into \u00A5): convert the project's text with CP932 instead, "
      "as in iconv -f CP932 -t UTF-8.";
  EXPECT_EQ(FailureMessage([&] {
              ToProject(ReplaceOnce(shown, "C:\\Video\\a.avi", "C:\u00A5Video\u00A5a.avi"),
                        build::BuildProject(windows), TextEncoding::Utf8);
            }),
            "line 7: the name \"C:\u00A5Video\u00A5a.avi\" holds \"\u00A5\" (U+00A5), which "
            "Shift-JIS cannot hold; a project stores its names in Shift-JIS." +
                advice);
  for (const char* other : {"\u203E", "\u301C", "\u2016", "\u2212", "\u00A2", "\u00A3", "\u00AC"}) {
    const std::string message = FailureMessage([&] {
      ToProject(ReplaceOnce(shown, "a.avi", std::string(other) + ".avi"),
                build::BuildProject(windows), TextEncoding::Utf8);
    });
    EXPECT_TRUE(message.ends_with(advice)) << message;
  }
  build::Project bad;
  bad.main.push_back({"x\x81.avi", 0, 9, 0, "", 0, 0, {}});
  EXPECT_EQ(FailureMessage([&] { ToText(build::BuildProject(bad), TextEncoding::Utf8); }),
            "main track clip 1: its name \"x\\x81.avi\" is not valid Shift-JIS, so it cannot be "
            "written as UTF-8. Convert with the default encoding (Shift-JIS), which keeps every "
            "byte.");
}

TEST(Utf8TextTest, AByteOrderMarkMakesTheTextUtf8AndAUtf8SavedTextIsNamed) {
  const std::string project = build::BuildProject(DuplicateCharacters());
  const std::string text = ToText(project, TextEncoding::Utf8);
  EXPECT_EQ(ToProject("\xEF\xBB\xBF" + text, project), project);
  EXPECT_EQ(FailureMessage([&] { ToProject(text, project); }),
            "line 7: the name \"\xE2\x89\x92.avi\" is UTF-8, not Shift-JIS: the text was saved as "
            "UTF-8. Convert it with the UTF-8 encoding (--encoding utf-8), or save it as "
            "Shift-JIS.");
  // The UTF-8 bytes of this name are valid Shift-JIS as well.
  build::Project title;
  title.main.push_back({"\x83\x5e\x83\x43\x83\x67\x83\x8b.avi", 0, 9, 0, "", 0, 0, {}});
  const std::string titleProject = build::BuildProject(title);
  const std::string titleText = ToText(titleProject, TextEncoding::Utf8);
  ASSERT_TRUE(IsValidShiftJis(titleText.substr(titleText.find("[MainAV]") + 10, 12)));
  EXPECT_NE(FailureMessage([&] { ToProject(titleText, titleProject); }).find("--encoding utf-8"),
            std::string::npos);
}

TEST(MessageTest, NamesInMessagesAreShownReadably) {
  EXPECT_EQ(Printable("\x83\x5e\x83\x43\x83\x67\x83\x8b"),
            "\xE3\x82\xBF\xE3\x82\xA4\xE3\x83\x88\xE3\x83\xAB");
  EXPECT_EQ(Printable(std::string("a\0b\x01\r\n\x80", 7)), "a\\x00b\\x01\\r\\n\\x80");
  EXPECT_EQ(Printable(std::string(100, 'x')), std::string(60, 'x') + "...");
  build::Project shape;
  shape.main.push_back({std::string("\0x\r.mp3", 7), 0, 9, 0, "", 0, 0, {}});
  const std::string project = build::BuildProject(shape);
  try {
    ToText(project);
    ADD_FAILURE();
  } catch (const RunFailure& failure) {
    EXPECT_EQ(FailureMessage(failure, "p.mpj", Software::CorvaneBrisko, true),
              "\"p.mpj\": main track clip 1 (\"\\x00x\\r.mp3\") is neither a movie, a still image "
              "nor a colour clip, so the rest of the file cannot be read. \"Lumetta\" reads it "
              "completely; choose that software.");
  }
}

}  // namespace
}  // namespace pexol
