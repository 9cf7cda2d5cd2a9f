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

TEST(TextReaderTest, ABareLineFeedIsPartOfTheLine) {
  TextReader reader("one\ntwo\nthree");
  EXPECT_EQ(reader.ReadTextLine(), "one\ntwo\nthree");
  EXPECT_EQ(reader.ReadTextLine(), std::nullopt);
}

TEST(TextReaderTest, TheByteAfterACarriageReturnIsDroppedWhateverItIs) {
  TextReader reader("ab\rXcd\r\n");
  EXPECT_EQ(reader.ReadTextLine(), "ab");
  EXPECT_EQ(reader.ReadTextLine(), "cd");
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

TEST(TextReaderTest, LfOnlyTextsAreNamedInTheFailure) {
  TextReader reader("[Header]\n[MainAV]\n");
  try {
    reader.SkipPast("[MainAV]");
    FAIL();
  } catch (const RunFailure& e) {
    EXPECT_NE(std::string(e.what()).find("CR LF"), std::string::npos);
  }
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

TEST(ParseNumberTest, DigitsUpToTheFirstOtherCharacter) {
  EXPECT_EQ(ParseNumber("-42"), -42);
  EXPECT_EQ(ParseNumber("7=300"), 7);
  EXPECT_EQ(ParseNumber("12)"), 12);
  EXPECT_EQ(ParseNumber("x12"), 0);
  EXPECT_EQ(ParseNumber(""), 0);
  EXPECT_EQ(ParseNumber("-"), 0);
  EXPECT_EQ(ParseNumber("+5"), 0);
  EXPECT_EQ(ParseNumber("4294967295"), -1);  // wraps at 32 bits
  EXPECT_EQ(ParseNumber("-2147483648"), INT32_MIN);
}

}  // namespace
}  // namespace pexol
