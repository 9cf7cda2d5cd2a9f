// tests/edl/EdlLayoutTest.cpp - the columnar and CSV layouts, byte for byte, and their progress
#include "edl/Edl.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "EdlTestProjects.h"
#include "edl/ColumnarEdl.h"
#include "edl/CsvEdl.h"

namespace pexol {
namespace {

using test::EdlProject;
using test::ExampleProject;

class RecordingObserver final : public RunObserver {
 public:
  void Status(std::string_view line) override { statuses.emplace_back(line); }
  void Progress(int done, int) override { lastDone = done; }
  std::vector<std::string> statuses;
  int lastDone = 0;
};

std::string Edl(const EdlProject& project, TimecodeMode mode, bool csv,
                RecordingObserver* observer = nullptr) {
  RecordingObserver ignored;
  RunProgress progress(observer ? *observer : ignored);
  ByteWriter out;
  WriteEdl(project.BuildTimeline(), mode, csv, out, progress);
  return out.TakeBytes();
}

std::string ColumnarLine(const EdlEvent& event, TimecodeMode mode = TimecodeMode::Frame) {
  std::string line;
  AppendColumnarLine(line, event, mode);
  return line;
}

std::string CsvLine(const EdlEvent& event, TimecodeMode mode = TimecodeMode::Frame) {
  std::string line;
  AppendCsvLine(line, event, mode);
  return line;
}

TEST(EdlLayouts, WorkedExamples) {
  EXPECT_EQ(Edl(ExampleProject(), TimecodeMode::NtscDrop, false), test::exampleDropFrameEdl);
  EXPECT_EQ(Edl(ExampleProject(), TimecodeMode::Frame, false), test::exampleFrameEdl);
  EXPECT_EQ(Edl(ExampleProject(), TimecodeMode::NtscDrop, true), test::exampleCsvEdl);
}

TEST(EdlLayouts, WithoutMainClipsOnlyTheHeadingIsWritten) {
  const EdlProject empty;
  EXPECT_EQ(Edl(empty, TimecodeMode::Pal, false),
            "Event                    Source                      Recorder\r\n"
            "                         IN            OUT           IN            OUT\r\n");
  EXPECT_EQ(Edl(empty, TimecodeMode::Frame, true),
            "\"EVENT No.\",\"TRACK\",\"MEDIA\",\"TRANSITION\",\"TRANSITION TIME\",\"SOURCE IN\","
            "\"SOURCE OUT\",\"RECORDER IN\",\"RECORDER OUT\",\"CLIP NAME\"\r\n");
}

TEST(EdlLayouts, MediaSlowMarkAndTransitionLength) {
  EdlEvent event;
  event.number = 7;
  event.media = "V";
  event.slow = true;
  event.transition = 'D';
  event.transitionLength = 30;
  event.sourceIn = 100;
  event.clipName = "s";
  EXPECT_EQ(ColumnarLine(event),
            "007 MAIN  V S  D     30     100        0        0        0   s\r\n");
  EXPECT_EQ(CsvLine(event),
            "007,\"MAIN\",\"VS\",\"D\",\"   30\",\"   100\",\"     0\",\"     0\","
            "\"     0\",\"s\"\r\n");
  event.track = EdlTrack::Insert;
  event.media = "VA";
  event.slow = false;
  event.transitionLength = 0;
  EXPECT_EQ(ColumnarLine(event),
            "007 INS   VA   D            100        0        0        0   s\r\n");
  EXPECT_EQ(CsvLine(event),
            "007,\"INS\",\"VA\",\"D\",,\"   100\",\"     0\",\"     0\",\"     0\","
            "\"s\"\r\n");
}

TEST(EdlLayouts, WideValuesPushTheLineRight) {
  EdlEvent event;
  event.number = 1000;
  event.track = EdlTrack::ExAudio2;
  event.media = "A";
  event.recorderOut = 9000000;
  event.clipName = "x";
  EXPECT_EQ(
      ColumnarLine(event, TimecodeMode::Pal),
      "1000 ExA2  A    C         00:00:00:00   00:00:00:00   00:00:00:00   100:00:00:00   x\r\n");
  EXPECT_EQ(CsvLine(event, TimecodeMode::Pal),
            "1000,\"ExA2\",\"A\",\"C\",,\"00:00:00:00\",\"00:00:00:00\",\"00:00:00:00\","
            "\"100:00:00:00\",\"x\"\r\n");
}

TEST(EdlLayouts, NamesAreWrittenByteForByte) {
  EdlEvent event;
  event.number = 1;
  event.media = "V";
  // Shift-JIS whose second bytes are a backslash and a quote, a comma and a quote in ASCII.
  const std::string name = "\x95\x5C\x83\x22,\"q\".avi";
  event.clipName = name;
  EXPECT_TRUE(ColumnarLine(event).ends_with("   " + name + "\r\n"));
  EXPECT_TRUE(CsvLine(event).ends_with(",\"" + name + "\"\r\n"));
  event.clipName = "";
  EXPECT_TRUE(ColumnarLine(event).ends_with("0   \r\n"));
  EXPECT_TRUE(CsvLine(event).ends_with(",\"\"\r\n"));
}

TEST(EdlProgress, FortyStepsWithAStatusPerMainClip) {
  RecordingObserver observer;
  Edl(ExampleProject(), TimecodeMode::NtscDrop, true, &observer);
  EXPECT_EQ(observer.lastDone, edlShare);
  EXPECT_THAT(observer.statuses, testing::ElementsAre("[EDL] 1 / 3", "[EDL] 2 / 3", "[EDL] 3 / 3"));

  RecordingObserver none;
  Edl(EdlProject().Insert("i", 0, 9, 0), TimecodeMode::Frame, false, &none);
  EXPECT_EQ(none.lastDone, edlShare);
  EXPECT_TRUE(none.statuses.empty());

  RecordingObserver many;
  EdlProject thousand;
  for (int i = 0; i < 1001; ++i) thousand.Main("a", 0, 9);
  Edl(thousand, TimecodeMode::Frame, false, &many);
  EXPECT_EQ(many.lastDone, edlShare);
  EXPECT_EQ(many.statuses.back(), "[EDL] 1001 / 1001");
}

}  // namespace
}  // namespace pexol
