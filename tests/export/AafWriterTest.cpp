// tests/export/AafWriterTest.cpp - AAF files read back by pyaaf2: one top-level composition
// with its timecode, every clip resolved through its master mob to a file, at the frames the
// laid-out timeline gives, with its transitions, speed, levels and titles
#include <gtest/gtest.h>

#include <cmath>

#include "ExportTimelines.h"
#include "core/TextEncoding.h"
#include "export/AafWriter.h"
#include "fuzz/AafReadBack.h"
#include "support/AafRead.h"

namespace pexol {
namespace {

struct Written {
  ExportTimeline laidOut;
  std::string bytes;
};

Written WriteOf(const Timeline& timeline, const ExportSettings& settings,
                const FormatOptions& options = {}) {
  LayoutRules rules = LayoutRulesFor(*ExportFormatNamed("aaf"));
  static_cast<ExportSettings&>(rules) = settings;
  rules.resolve = [](std::string_view stored) {
    return MediaReference{std::string(stored), "/media/" + std::string(stored), true};
  };
  Written written{LayOutTimeline(timeline, rules), {}};
  written.bytes = WriteAaf(written.laidOut, options).files.at(0).bytes;
  return written;
}

// Each track's clips, gaps and transitions against the laid-out pieces they came from.
void ExpectPiecesOf(const ExportTimeline& laidOut, const test::AafRead& read) {
  std::size_t slot = 0;
  for (const ExportTrack& track : laidOut.tracks) {
    if (track.role == TrackRole::Titles || (track.Empty() && track.role != TrackRole::Main))
      continue;
    ASSERT_LT(slot, read.tracks.size()) << track.name;
    const test::AafTrack& read_track = read.tracks[slot++];
    EXPECT_EQ(read_track.name, track.name);
    EXPECT_EQ(read_track.picture, track.video) << track.name;
    std::vector<test::AafItem> items;
    for (const test::AafItem& item : read_track.items)
      if (item.kind != test::AafItem::Transition) items.push_back(item);
    ASSERT_EQ(items.size(), track.pieces.size()) << track.name;
    for (std::size_t i = 0; i < items.size(); ++i) {
      const ExportPiece& piece = track.pieces[i];
      const test::AafItem& item = items[i];
      const std::string where = std::string(track.name) + " piece " + std::to_string(i);
      EXPECT_EQ(item.record, piece.recordIn.Value()) << where;
      EXPECT_EQ(item.length, piece.Length().Value()) << where;
      const bool file = piece.item && (piece.item->kind == ItemKind::Movie ||
                                       piece.item->kind == ItemKind::Still);
      ASSERT_EQ(item.kind == test::AafItem::Clip, file) << where;
      if (!file) continue;
      EXPECT_EQ(item.url, "file://localhost/media/" + piece.item->name) << where;
      if (piece.item->kind == ItemKind::Movie) {
        EXPECT_EQ(item.source, piece.sourceIn.Value()) << where;
      }
      if (piece.item->slow) {
        EXPECT_EQ(item.speed, 2.0) << where << ": half speed";
      }
      ASSERT_EQ(item.gain.size(), piece.pieceGain.size()) << where;
      for (std::size_t k = 0; k < item.gain.size(); ++k) {
        EXPECT_EQ(item.gain[k].first, piece.pieceGain[k].frame.Value()) << where;
        EXPECT_NEAR(item.gain[k].second, piece.pieceGain[k].level / 100, 1e-5) << where;
      }
    }
  }
  EXPECT_EQ(slot, read.tracks.size());
}

TEST(AafWriter, EveryPieceReadsBackResolvedToItsFile) {
  Timeline timeline = test::SampleTimeline();
  const Written written = WriteOf(timeline, test::NtscSettings());
  const test::AafRead read = test::ReadAaf(written.bytes);
  if (!read.available) GTEST_SKIP() << "pyaaf2 is not in " << PEXOL_SHARED_DIR;
  EXPECT_EQ(read.problems, std::vector<std::string>{});
  EXPECT_EQ(read.topLevel, 1);
  EXPECT_EQ(read.timecodeStart, 0);
  EXPECT_EQ(read.timecodeFps, 30);
  EXPECT_TRUE(read.drop);
  ExpectPiecesOf(written.laidOut, read);

  // The dissolve and the bar wipe on V1, each starting on its cut.
  std::vector<test::AafItem> transitions;
  for (const test::AafItem& item : read.tracks.at(0).items)
    if (item.kind == test::AafItem::Transition) transitions.push_back(item);
  ASSERT_EQ(transitions.size(), 2u);
  EXPECT_EQ(transitions[0].operation, "VideoDissolve_2");
  EXPECT_EQ(transitions[0].record, 105);
  EXPECT_EQ(transitions[0].length, 15);
  EXPECT_EQ(transitions[1].operation, "SMPTE Video Wipe");
  EXPECT_EQ(transitions[1].wipe, 1);

  ASSERT_EQ(read.markers.size(), 1u);
  EXPECT_EQ(read.markers[0].position, 50);
  EXPECT_EQ(read.markers[0].comment, "Hello\nWorld");
  EXPECT_EQ(read.markers[0].font, "Arial");
}

// The tests' own reader of the container (the fuzz target's) finds the same tracks, and a file
// cut short or with a sector's table damaged reads as broken, never as a shorter timeline.
TEST(AafWriter, ItsOwnReaderFindsTheTracksAndRefusesDamage) {
  const Written written = WriteOf(test::SampleTimeline(), test::NtscSettings());
  const fuzz::AafReadResult read = fuzz::ReadAafBack(written.bytes);
  ASSERT_EQ(read.broken, std::nullopt);
  EXPECT_EQ(read.file.topLevel, 1);
  EXPECT_TRUE(read.file.timecode);
  ASSERT_FALSE(read.file.tracks.empty());
  EXPECT_EQ(read.file.tracks[0].name, "V1");
  EXPECT_EQ(read.file.tracks[0].length,
            written.laidOut.Track(TrackRole::Main)->pieces.back().recordOut.Value());
  EXPECT_EQ(read.file.tracks[0].transitions, 2);

  EXPECT_NE(fuzz::ReadAafBack(written.bytes.substr(0, written.bytes.size() / 2)).broken,
            std::nullopt);
  std::string damaged = written.bytes;
  damaged[76] = '\x7F';  // the first allocation-table sector, now past the file's end
  EXPECT_NE(fuzz::ReadAafBack(damaged).broken, std::nullopt);
}

TEST(AafWriter, TimecodeAndBytesFollowTheRateAlone) {
  const Timeline timeline = test::SampleTimeline();
  const Written pal = WriteOf(timeline, test::PalSettings());
  // No clock and no addresses in the file: the same project gives the same bytes.
  EXPECT_EQ(pal.bytes, WriteOf(timeline, test::PalSettings()).bytes);
  const test::AafRead read = test::ReadAaf(pal.bytes);
  if (!read.available) GTEST_SKIP() << "pyaaf2 is not in " << PEXOL_SHARED_DIR;
  EXPECT_EQ(read.problems, std::vector<std::string>{});
  EXPECT_EQ(read.timecodeFps, 25);
  EXPECT_FALSE(read.drop);
  EXPECT_FALSE(test::ReadAaf(WriteOf(timeline, test::NtscSettings(false)).bytes).drop);

  // 01:00:00:00 as Avid's sequences start, counted in frames of each clock.
  for (const auto& [settings, frames] :
       {std::pair{test::NtscSettings(), 107892}, std::pair{test::NtscSettings(false), 108000},
        std::pair{test::PalSettings(), 90000}}) {
    const FormatOptions atOneHour{{"timecode-start", "01:00:00:00"}};
    EXPECT_EQ(test::ReadAaf(WriteOf(timeline, settings, atOneHour).bytes).timecodeStart, frames);
  }
}

TEST(AafWriter, NamesDecodedIntoTheFileWithoutLimitOfLength) {
  Timeline timeline;
  // "動画" in Shift-JIS, and a name far past the container's 31 characters.
  const std::string japanese = "\x93\xae\x89\xe6.avi";
  const std::string longName(120, 'n');
  timeline.main.push_back(test::Movie(japanese, 0, 50, 0, 50, true));
  timeline.main.push_back(test::Movie(longName + ".avi", 0, 50, 50, 100));
  ExportSettings settings = test::NtscSettings();
  settings.decode = [](std::string_view stored) { return DecodeShiftJis(stored).utf8; };
  LayoutRules rules = LayoutRulesFor(*ExportFormatNamed("aaf"));
  static_cast<ExportSettings&>(rules) = settings;
  rules.resolve = [](std::string_view stored) {
    return MediaReference{std::string(stored), "/media/" + DecodeShiftJis(stored).utf8, true};
  };
  const test::AafRead read =
      test::ReadAaf(WriteAaf(LayOutTimeline(timeline, rules)).files[0].bytes);
  if (!read.available) GTEST_SKIP() << "pyaaf2 is not in " << PEXOL_SHARED_DIR;
  EXPECT_EQ(read.problems, std::vector<std::string>{});
  ASSERT_EQ(read.tracks.at(0).items.size(), 2u);
  EXPECT_EQ(read.tracks[0].items[0].url, "file://localhost/media/%E5%8B%95%E7%94%BB.avi");
  EXPECT_EQ(read.tracks[0].items[1].url, "file://localhost/media/" + longName + ".avi");
}

}  // namespace
}  // namespace pexol
