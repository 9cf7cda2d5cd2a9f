// tests/export/ExportNotesTest.cpp - what each format's row makes the layout note: every kind a
// format gives from one timeline that has them all, none from one it keeps whole
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <stdexcept>

#include "ExportTimelines.h"
#include "export/ExportOutcome.h"

namespace pexol {
namespace {

using enum NoteKind;

// Everything a format may change: a clip louder than 200 with its sound, a dissolve, a slow clip,
// a gradient wiped into a still, a clip whose in point lies before its media, a dissolve with no
// clip after it, inserts over one another, a title of two fonts showing an image, extra audio.
Timeline EveryChange() {
  Timeline timeline;
  TimelineItem loud = test::Movie("a.avi", 100, 205, 0, 105, true);
  loud.levels.in = 300;
  timeline.main.push_back(loud);
  timeline.main.push_back(test::Movie("b.avi", 10, 90, 105, 185));
  timeline.main.push_back(test::Slow("c.avi", 0, 30, 185));
  TimelineItem gradient = test::Of(ItemKind::Colour, 245, 305);
  gradient.colour = 0xFF0000;
  gradient.fill.colours = {0xFF0000, 0x0000FF};
  timeline.main.push_back(gradient);
  TimelineItem still = test::Of(ItemKind::Still, 305, 335);
  still.name = "s.ppm";
  timeline.main.push_back(still);
  timeline.main.push_back(test::Movie("early.avi", -5, 55, 335, 395, true));
  timeline.transitions = {test::Effect(0, 'D', "Dissolve", 15, 105),
                          test::Effect(3, 'W', "Wipe", 10, 305),
                          test::Effect(5, 'D', "Dissolve", 20, 395)};
  timeline.mainTail = {15, 0, 0, 10, 0, 20};
  timeline.insert = {test::Movie("i1.avi", 0, 60, 200, 260, true),
                     test::Movie("i2.avi", 0, 60, 230, 290),
                     test::Movie("i3.avi", 0, 40, 240, 280)};
  timeline.exAudio[0].push_back(test::Movie("m.wav", 0, 300, 0, 300, true));
  timeline.exAudio[0].back().levels.points = {{60, 80}, {120, 100}};
  TimelineItem title = test::Of(ItemKind::Title, 50, 50 + titleDefaultFrames);
  title.texts = {
      {"Hello", "Arial", 40, false}, {"logo.bmp", "", 0, true}, {"World", "Gothic", 30, false}};
  timeline.titles.push_back(title);
  return timeline;
}

std::vector<ExportNote> NotesOf(std::string_view format, const Timeline& timeline,
                                const ExportSettings& settings = test::NtscSettings()) {
  ExportCounts counts;
  std::vector<ExportNote> notes;
  test::ExportFiles(format, timeline, settings, test::MediaUnderSlashMedia, counts, &notes);
  return notes;
}

const ExportNote& NoteOf(const std::vector<ExportNote>& notes, NoteKind kind) {
  const auto found = std::find_if(notes.begin(), notes.end(),
                                  [kind](const ExportNote& note) { return note.kind == kind; });
  if (found == notes.end()) throw std::runtime_error("no note " + std::string(NoteKindId(kind)));
  return *found;
}

// Each format's every kind but `past-media-end`, which needs files read (the probe tests run it).
TEST(ExportNotes, EachFormatNotesEveryWayItChangesTheTimeline) {
  // Every format shares the layout's own rules.
  const std::vector<NoteKind> shared = {ClipsLeftOut, TransitionsLeftOut, HeadsUnderClipBefore,
                                        InBeforeMedia, WipesLeftToRight};
  const std::map<std::string, std::vector<NoteKind>> own = {
      {"otio",
       {GradientsFirstColour, LevelsInMetadata, TitleFontsInMetadata, TitleImagesAsClips,
        SoundOnOwnTracks}},
      {"cmx3600", {TitlesLeftOut, LevelsLeftOut, ColoursBlack, SlowSpeedInTenths}},
      {"mlt", {TitleTextsOneFont, LevelsAbove200}},
      {"kdenlive", {TitleTextsOneFont, LevelsAbove200, TitleImagesAsClips, SoundOnOwnTracks}},
      {"fcp7",
       {GradientsFirstColour, TitleTextsOneFont, LevelsAbove200, TitleImagesAsClips,
        SoundOnOwnTracks}},
      {"fcpxml",
       {GradientsGeneratorColours, TitleTextsOneFont, LevelsAbove200, TransitionsCentred,
        TitleImagesAsClips}},
      {"aaf",
       {ColoursBlack, TitlesAsMarkers, LevelsAbove200, TitleImagesAsClips, SoundOnOwnTracks}},
  };
  const Timeline timeline = EveryChange();
  for (const ExportFormat& format : ExportFormats()) {
    std::vector<NoteKind> expected = shared;
    const auto& extra = own.at(format.name);
    expected.insert(expected.end(), extra.begin(), extra.end());
    std::sort(expected.begin(), expected.end());
    const std::vector<ExportNote> notes = NotesOf(format.name, timeline);
    EXPECT_EQ(test::KindsOf(notes), expected) << format.name;

    // A clip is noted once, where it shows, and named as the export shows it.
    const ExportNote& heads = NoteOf(notes, HeadsUnderClipBefore);
    EXPECT_EQ(heads.count, 1u) << format.name;
    EXPECT_EQ(heads.clips[0].name, "i2.avi");
    EXPECT_EQ(heads.clips[0].record, 230);
    EXPECT_EQ(NoteOf(notes, ClipsLeftOut).clips[0].name, "i3.avi");
    const ExportNote& leftOut = NoteOf(notes, TransitionsLeftOut);
    EXPECT_EQ(leftOut.count, 1u);
    EXPECT_EQ(leftOut.clips[0].record, 395);
    EXPECT_EQ(NoteOf(notes, WipesLeftToRight).clips[0].name, "Wipe");
    EXPECT_EQ(NoteOf(notes, InBeforeMedia).clips[0].name, "early.avi");
  }
  // The main clips' sound on A1 and the inserts' on their own track: three clips, once each,
  // whose levels are noted once though V1 and A1 both write them.
  EXPECT_EQ(NoteOf(NotesOf("otio", timeline), SoundOnOwnTracks).count, 3u);
  EXPECT_EQ(NoteOf(NotesOf("otio", timeline), LevelsInMetadata).count, 2u);
  EXPECT_EQ(NoteOf(NotesOf("aaf", timeline), LevelsAbove200).clips[0].name, "a.avi");
  const ExportNote markers = NoteOf(NotesOf("aaf", timeline), TitlesAsMarkers);
  EXPECT_EQ(markers.clips[0].name, "Hello");
  EXPECT_EQ(NoteOf(NotesOf("kdenlive", timeline), TitleImagesAsClips).clips[0].name, "logo.bmp");
  EXPECT_EQ(NoteOf(NotesOf("cmx3600", timeline), LevelsLeftOut).count, 2u);  // a.avi, m.wav
  // At 25 frames a second half speed is 012.5, as it is.
  const std::vector<NoteKind> pal =
      test::KindsOf(NotesOf("cmx3600", timeline, test::PalSettings()));
  EXPECT_EQ(std::count(pal.begin(), pal.end(), SlowSpeedInTenths), 0);
}

// What each format keeps whole gives no note: a silent movie dissolving into a still, extra audio,
// and what else the format holds as the project has it.
TEST(ExportNotes, AFormatThatKeepsTheTimelineWholeSaysSo) {
  struct Keeps {
    bool colours, titles, transitions, soundOnV1, levels, slow;
  };
  const std::map<std::string, Keeps> keeps = {
      {"otio", {true, false, true, false, false, true}},
      {"cmx3600", {false, false, true, true, false, false}},
      {"mlt", {true, true, true, true, true, true}},
      {"kdenlive", {true, true, true, false, true, true}},
      {"fcp7", {true, true, true, false, true, true}},
      {"fcpxml", {true, true, false, true, true, true}},
      {"aaf", {false, false, true, false, true, true}},
  };
  for (const ExportFormat& format : ExportFormats()) {
    const Keeps& kept = keeps.at(format.name);
    Timeline timeline;
    timeline.main = {test::Movie("m1.avi", 0, 100, 0, 100, kept.soundOnV1)};
    TimelineItem still = test::Of(ItemKind::Still, 100, 160);
    still.name = "s.png";
    timeline.main.push_back(still);
    if (kept.transitions) timeline.transitions = {test::Effect(0, 'D', "Dissolve", 10, 100)};
    if (kept.colours) {
      TimelineItem red = test::Of(ItemKind::Colour, 160, 200);
      red.colour = 0xFF0000;
      red.fill.colours = {0xFF0000};
      timeline.main.push_back(red);
    }
    if (kept.slow) timeline.main.push_back(test::Slow("slow.avi", 0, 20, 200));
    timeline.mainTail.assign(timeline.main.size(), 0);
    timeline.exAudio[0] = {test::Movie("m.wav", 0, 300, 0, 300, true)};
    if (kept.levels) timeline.exAudio[0][0].levels = {100, 50, {{100, 200}}};
    if (kept.titles) {
      TimelineItem title = test::Of(ItemKind::Title, 20, 20 + titleDefaultFrames);
      title.texts = {{"Hello", "Arial", 40, false}, {"World", "Arial", 40, false}};
      timeline.titles = {title};
    }
    const std::vector<ExportNote> notes = NotesOf(format.name, timeline);
    EXPECT_EQ(test::KindsOf(notes), std::vector<NoteKind>{}) << format.name;
    EXPECT_EQ(NotesText(format.label, {}),
              std::string(format.label) + " keeps everything this timeline holds.");
  }
}

// A note keeps the first clips by record frame however many it counts, and asks the names of
// those alone; the text says how many and names the first.
TEST(ExportNotes, ANoteCountsEveryClipAndNamesTheFirstFew) {
  ExportNotes notes;
  int named = 0;
  for (const int record : {500, 40, 300, 10, 900, 40}) {
    notes.Add(LevelsAbove200, record, [&] {
      ++named;
      return "at " + std::to_string(record);
    });
  }
  EXPECT_EQ(named, 5) << "the last comes after the three kept";
  const std::vector<ExportNote> listed = notes.List();
  ASSERT_EQ(listed.size(), 1u);
  EXPECT_EQ(listed[0].count, 6u);
  ASSERT_EQ(listed[0].clips.size(), ExportNotes::keptClips);
  EXPECT_EQ(listed[0].clips[0].name, "at 10");
  EXPECT_EQ(listed[0].clips[1].record, 40);
  EXPECT_EQ(listed[0].clips[2].record, 40);

  FormatNote shown{"levels-above-200",
                   6,
                   {{"00:00:00;10", "a.wav"}, {"00:00:01;10", "b.wav"}},
                   "Levels above 200 are written as 200 (+6 dB).",
                   false};
  EXPECT_EQ(NoteText(shown),
            "- Levels above 200 are written as 200 (+6 dB).\n"
            "  6 clips, among them 00:00:00;10 \"a.wav\", 00:00:01;10 \"b.wav\"");
  shown.count = 2;
  EXPECT_EQ(NoteClipsText(shown), "2 clips: 00:00:00;10 \"a.wav\", 00:00:01;10 \"b.wav\"");
  shown = {"transitions-left-out", 1, {{"00:00:13;05", "Wipe"}}, "", true};
  EXPECT_EQ(NoteClipsText(shown), "1 transition: 00:00:13;05 \"Wipe\"");
  for (std::size_t k = 0; k < noteKindCount; ++k) {
    const auto kind = static_cast<NoteKind>(k);
    EXPECT_EQ(NoteKindOfId(NoteKindId(kind)), kind);
    EXPECT_TRUE(NoteSentence(kind).ends_with('.')) << NoteKindId(kind);
  }
}

}  // namespace
}  // namespace pexol
