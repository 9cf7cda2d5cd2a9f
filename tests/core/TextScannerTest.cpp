// tests/core/TextScannerTest.cpp - lines, fields and numbers of the text exchange file
#include <gtest/gtest.h>

#include "core/RunFailure.h"
#include "core/TextScanner.h"

namespace pexol {
namespace {

TEST(TextReaderTest, SkipsEmptyLinesAndCountsPhysicalLines) {
  TextReader reader("A\r\n\r\n\r\nB\r\n");
  EXPECT_EQ(reader.ReadTextLine(), "A");
  EXPECT_EQ(reader.LineNumber(), 1);
  EXPECT_EQ(reader.ReadTextLine(), "B");
  EXPECT_EQ(reader.LineNumber(), 4);
  EXPECT_EQ(reader.ReadTextLine(), std::nullopt);
}

TEST(TextReaderTest, LinesEndWithCrLfLfAloneOrCrAlone) {
  TextReader reader("one\ntwo\r\nthree\rfour\n\nsix");
  EXPECT_EQ(reader.ReadTextLine(), "one");
  EXPECT_EQ(reader.ReadTextLine(), "two");
  EXPECT_EQ(reader.ReadTextLine(), "three");
  EXPECT_EQ(reader.ReadTextLine(), "four");  // the byte after a CR alone is kept
  EXPECT_EQ(reader.ReadTextLine(), "six");
  EXPECT_EQ(reader.LineNumber(), 6);
  EXPECT_EQ(reader.ReadTextLine(), std::nullopt);
}

TEST(TextReaderTest, HeadingsAreComparedWithoutRegardToCase) {
  TextReader reader("[header]\r\nVersion=02.07\r\n[mainav]\r\n[INSERTAV]\r\n[Effect]\r\n");
  reader.SkipPast("[MainAV]");
  EXPECT_NO_THROW(reader.ReadHeading("[InsertAV]"));
  try {
    reader.ReadHeading("[ExAudio1]");
    FAIL();
  } catch (const RunFailure& e) {
    EXPECT_EQ(e.Input(), FailedInput::Text);
    EXPECT_STREQ(e.what(), "line 5: expected the heading \"[ExAudio1]\" but found \"[Effect]\".");
  }
}

TEST(TextReaderTest, RecordLinesMayNotBeHeadingsAndTheTextMayNotEndEarly) {
  const auto isHeading = [](std::string_view line) { return line.starts_with('['); };
  TextReader reader("a.avi\r\n[InsertAV]\r\n", isHeading);
  EXPECT_EQ(reader.ReadRecordLine("[MainAV]", 0, 3), "a.avi");
  EXPECT_THROW(reader.ReadRecordLine("[MainAV]", 1, 3), RunFailure);
  TextReader ended("a.avi\r\n");
  ended.ReadRecordLine("[MainAV]", 0, 2);
  EXPECT_THROW(ended.ReadRecordLine("[MainAV]", 1, 2), RunFailure);
}

TEST(TextReaderTest, LfOnlyTextsAreReadLikeCrLfTexts) {
  TextReader reader("[Header]\n[MainAV]\na.avi\n[InsertAV]\n");
  reader.SkipPast("[MainAV]");
  EXPECT_EQ(reader.ReadRecordLine("[MainAV]", 0, 1), "a.avi");
  EXPECT_NO_THROW(reader.ReadHeading("[InsertAV]"));
  EXPECT_EQ(reader.LineNumber(), 4);
}

TEST(GetFieldTest, PlainAndQuotedFields) {
  const std::string line = "a,\"x,y\",z";
  EXPECT_EQ(GetField(line, 0), "a");
  EXPECT_EQ(GetField(line, 1), "x,y");
  EXPECT_EQ(GetField(line, 2), "z");
  EXPECT_EQ(GetField(line, 3), "");
  EXPECT_EQ(GetField("a,,c", 1), "");
  EXPECT_EQ(GetField("a,", 1), "");
}

TEST(GetFieldTest, EscapesInsideQuotes) {
  const std::string line = "\"\\\"q\\\\b\\n\\r\",next";
  EXPECT_EQ(GetField(line, 0), "\"q\\b\n\r");
  EXPECT_EQ(GetField(line, 1), "next");  // skipping honours the escaped quote
  EXPECT_EQ(GetField("\"open,to the end", 0), "open,to the end");
  EXPECT_EQ(GetField("\"q\"junk,after", 1), "unk");  // the byte after the quote is the separator
}

TEST(GetFieldTest, EscapedTextsComeBack) {
  const std::string text = "He said \"hi\"\\\r\n,\x83\x5C";
  EXPECT_EQ(GetField("," + FieldText(text) + ",x", 1), text);
  EXPECT_EQ(FieldText("plain name.avi"), "plain name.avi");
  EXPECT_EQ(FieldText("a,b"), "\"a,b\"");
}

TEST(LeadingNumberTest, DigitsUpToTheFirstOtherCharacterWithinTheRange) {
  const auto read = [](std::string_view text) {
    return LeadingNumber(text, INT32_MIN, UINT32_MAX);
  };
  EXPECT_EQ(read("-42"), -42);
  EXPECT_EQ(read("007"), 7);
  EXPECT_EQ(read("24pt"), 24);
  EXPECT_EQ(read("12)"), 12);
  EXPECT_EQ(read("4294967295"), 4294967295);
  EXPECT_EQ(read("-2147483648"), INT32_MIN);
  for (std::string_view none :
       {"", "-", "x12", "+5", " 1", "4294967296", "-2147483649", "99999999999999999999999999"})
    EXPECT_EQ(read(none), std::nullopt) << none;
}

}  // namespace
}  // namespace pexol
