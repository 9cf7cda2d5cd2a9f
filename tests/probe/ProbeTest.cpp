// tests/probe/ProbeTest.cpp - real files read by the media program, the editors' answers, and
// the check and the export that use them
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>

#include "core/Translation.h"
#include "export/FcpxmlRead.h"
#include "probe/EditorSupport.h"
#include "probe/ProbeMedia.h"
#include "support/CliRun.h"
#include "support/CommandOutput.h"
#include "tools/builder/ProjectBuilder.h"

namespace pexol {
namespace {

namespace fs = std::filesystem;

// The files every test reads, made once: a DV AVI of 60 frames with stereo PCM, a Motion JPEG
// AVI of 15 frames at 15 fps, a WAV of 62 s, a PNG and a file that is no media.
class ProbedFiles : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    ::setenv("PEXOL_RENDER", PEXOL_RENDER_PROGRAM, 1);
    folder_ = fs::temp_directory_path() / ("pexol-probe-media-" + std::to_string(::getpid()));
    fs::create_directories(folder_);
    const std::string at = " '" + folder_.string() + "/";
    test::Ffmpeg(
        "-f lavfi -i testsrc=size=720x480:rate=30000/1001 -f lavfi -i sine=r=48000 "
        "-frames:v 60 -c:v dvvideo -pix_fmt yuv411p -c:a pcm_s16le -ac 2 -shortest" +
        at + "dv.avi'");
    test::Ffmpeg("-f lavfi -i testsrc=size=320x240:rate=15 -frames:v 15 -c:v mjpeg" + at +
                 "mjpeg.avi'");
    test::Ffmpeg("-f lavfi -i sine=r=44100 -t 62 -c:a pcm_s16le" + at + "bgm.wav'");
    test::Ffmpeg("-f lavfi -i testsrc=size=64x48 -frames:v 1" + at + "still.png'");
    std::ofstream(folder_ / "junk.avi") << "not a movie";
  }
  static void TearDownTestSuite() { fs::remove_all(folder_); }

  static std::string In(const std::string& name) { return (folder_ / name).string(); }

  static std::vector<MediaFacts> Probe(const std::vector<std::string>& names) {
    std::vector<std::string> paths;
    for (const std::string& name : names) paths.push_back(In(name));
    return ProbeMedia(paths, {});
  }

  static Opens Answer(const MediaFacts& facts, Editor editor, std::string_view name = {}) {
    for (const EditorOpens& answer : EditorsThatOpen(facts, name))
      if (answer.editor == editor) return answer.opens;
    return Opens::Unknown;
  }

  static inline fs::path folder_;
};

TEST_F(ProbedFiles, EachFileGetsItsFactsInOrderFromOneRun) {
  EXPECT_TRUE(ProbeMedia({}, {}).empty());
  const std::vector<MediaFacts> facts =
      Probe({"dv.avi", "mjpeg.avi", "bgm.wav", "still.png", "junk.avi", "absent.avi"});
  ASSERT_EQ(facts.size(), 6u);

  const MediaFacts& dv = facts[0];
  EXPECT_EQ(dv.kind, MediaKind::Movie);
  EXPECT_EQ(dv.container, "avi");
  EXPECT_EQ(dv.videoCodec, "dvvideo");
  EXPECT_EQ(dv.fourcc, "dvsd");
  EXPECT_EQ(dv.pixelFormat, "yuv411p");
  EXPECT_EQ(dv.width, 720);
  EXPECT_EQ(dv.height, 480);
  EXPECT_EQ(dv.frameRate, (Fraction{30000, 1001}));
  EXPECT_EQ(dv.frames, 60);
  EXPECT_NEAR(dv.seconds, 60 * 1001 / 30000.0, 1e-6);
  EXPECT_EQ(dv.audioCodec, "pcm_s16le");
  EXPECT_EQ(dv.sampleRate, 48000);
  EXPECT_EQ(dv.channels, 2);

  const MediaFacts& mjpeg = facts[1];
  EXPECT_EQ(mjpeg.kind, MediaKind::Movie);
  EXPECT_EQ(mjpeg.videoCodec, "mjpeg");
  EXPECT_EQ(mjpeg.fourcc, "MJPG");
  EXPECT_EQ(mjpeg.frameRate, (Fraction{15, 1}));
  EXPECT_EQ(mjpeg.frames, 15);
  EXPECT_FALSE(mjpeg.HasAudio());

  const MediaFacts& wav = facts[2];
  EXPECT_EQ(wav.kind, MediaKind::Sound);
  EXPECT_EQ(wav.container, "wav");
  EXPECT_EQ(wav.audioCodec, "pcm_s16le");
  EXPECT_EQ(wav.sampleRate, 44100);
  EXPECT_EQ(wav.channels, 1);
  EXPECT_NEAR(wav.seconds, 62.0, 1e-3);
  EXPECT_FALSE(wav.HasVideo());

  const MediaFacts& png = facts[3];
  EXPECT_EQ(png.kind, MediaKind::Still);
  EXPECT_EQ(png.videoCodec, "png");
  EXPECT_EQ(png.width, 64);
  EXPECT_EQ(png.height, 48);
  EXPECT_EQ(png.containerLabel, "PNG image");

  for (const MediaFacts& unread : {facts[4], facts[5]}) {
    EXPECT_EQ(unread.kind, MediaKind::Unreadable);
    EXPECT_FALSE(unread.error.empty());
  }
  EXPECT_EQ(facts[5].error, "No such file or directory");
}

TEST_F(ProbedFiles, WithoutTheMediaProgramNothingIsKnown) {
  ::setenv("PEXOL_RENDER", "/nonexistent/pexol-render", 1);
  const std::vector<MediaFacts> facts = Probe({"dv.avi"});
  ::setenv("PEXOL_RENDER", PEXOL_RENDER_PROGRAM, 1);
  ASSERT_EQ(facts.size(), 1u);
  EXPECT_EQ(facts[0].kind, MediaKind::Unknown);
  for (const EditorOpens& answer : EditorsThatOpen(facts[0]))
    EXPECT_EQ(answer.opens, Opens::Unknown) << EditorName(answer.editor);
  EXPECT_EQ(OpensSummary(EditorsThatOpen(facts[0])), "");
}

// A file that crashes the reader costs only its own answer: the files after it are read by a
// new run. A stand-in program crashes on cue, as no real file can be made to crash FFmpeg.
TEST_F(ProbedFiles, AFileThatCrashesTheReaderIsUnreadableAndTheRestAreRead) {
  const fs::path program = folder_ / "crashing-probe";
  std::ofstream(program) << "#!/bin/sh\nshift 2\nfor f in \"$@\"; do\n"
                            "  case \"$f\" in *crash*) kill -SEGV $$;; esac\n"
                            "  echo '{\"type\":\"probe\",\"kind\":\"still\"}' >&2\ndone\n";
  fs::permissions(program, fs::perms::owner_all);
  ::setenv("PEXOL_RENDER", program.c_str(), 1);
  const std::vector<MediaFacts> facts = ProbeMedia({"a.png", "crash.png", "b.png"}, {});
  ::setenv("PEXOL_RENDER", PEXOL_RENDER_PROGRAM, 1);
  ASSERT_EQ(facts.size(), 3u);
  EXPECT_EQ(facts[0].kind, MediaKind::Still);
  EXPECT_EQ(facts[1].kind, MediaKind::Unreadable);
  EXPECT_EQ(facts[1].error, "FFmpeg crashed reading it (signal 11)");
  EXPECT_EQ(facts[2].kind, MediaKind::Still);
  // The reason is pexol's own, so a person reads it whole in the chosen language.
  UseCatalogue(FindCatalogue("ja", fs::path(PEXOL_LOCALE_DIR).parent_path()));
  const std::string shown = FactsSummaryShown(facts[1]);
  UseCatalogue(std::nullopt);
  EXPECT_EQ(shown, "FFmpeg が読み取り中に異常終了しました (シグナル 11)");
  EXPECT_EQ(FactsSummary(facts[1]), "FFmpeg crashed reading it (signal 11)");
}

TEST_F(ProbedFiles, EditorsAnswerByContainerAndCodecs) {
  const std::vector<MediaFacts> facts = Probe({"dv.avi", "mjpeg.avi", "junk.avi"});
  for (const Editor editor : Editors())
    EXPECT_EQ(Answer(facts[0], editor), Opens::Yes) << EditorName(editor);
  EXPECT_EQ(Answer(facts[1], Editor::PremierePro), Opens::Yes);
  EXPECT_EQ(Answer(facts[1], Editor::MediaComposer), Opens::Unknown);
  // What FFmpeg cannot read, MLT cannot either; the others' lists do not say.
  EXPECT_EQ(Answer(facts[2], Editor::Shotcut), Opens::No);
  EXPECT_EQ(Answer(facts[2], Editor::FinalCutPro), Opens::Unknown);

  MediaFacts divx = facts[0];
  divx.videoCodec = "mpeg4";
  divx.audioCodec = "mp3";
  EXPECT_EQ(Answer(divx, Editor::FinalCutPro), Opens::No);
  EXPECT_EQ(Answer(divx, Editor::PremierePro), Opens::WithPlugIn);
  EXPECT_EQ(Answer(divx, Editor::Kdenlive), Opens::Yes);
  EXPECT_EQ(OpensSummary(EditorsThatOpen(divx)),
            "Shotcut, Kdenlive; with a plug-in: Premiere Pro; not: Final Cut Pro, DaVinci "
            "Resolve, Media Composer");
  // The line on screen speaks the chosen language; the command line's stays English for the
  // programs that read it.
  UseCatalogue(FindCatalogue("ja", fs::path(PEXOL_LOCALE_DIR).parent_path()));
  const std::string opens = OpensSummary(EditorsThatOpen(divx));
  const std::string opensShown = OpensSummaryShown(EditorsThatOpen(divx));
  const std::string facts0 = FactsSummary(facts[0]);
  const std::string facts0Shown = FactsSummaryShown(facts[0]);
  UseCatalogue(std::nullopt);
  EXPECT_EQ(opens, OpensSummary(EditorsThatOpen(divx)));
  EXPECT_EQ(opensShown,
            "Shotcut, Kdenlive; プラグインで可: Premiere Pro; 不可: Final Cut Pro, DaVinci "
            "Resolve, Media Composer");
  EXPECT_EQ(facts0, FactsSummary(facts[0]));
  EXPECT_NE(facts0Shown.find("ステレオ"), std::string::npos) << facts0Shown;

  MediaFacts cinepak = facts[0];
  cinepak.videoCodec = "cinepak";
  for (const Editor editor :
       {Editor::FinalCutPro, Editor::PremierePro, Editor::Resolve, Editor::MediaComposer})
    EXPECT_EQ(Answer(cinepak, editor), Opens::No) << EditorName(editor);

  // A PICT that FFmpeg cannot read is still one Media Composer imports.
  MediaFacts pict;
  pict.kind = MediaKind::Unreadable;
  EXPECT_EQ(Answer(pict, Editor::MediaComposer, "titles/OLD.PCT"), Opens::Yes);
  EXPECT_EQ(Answer(pict, Editor::PremierePro, "titles/OLD.PCT"), Opens::No);
  EXPECT_EQ(Answer(pict, Editor::Kdenlive, "titles/OLD.PCT"), Opens::No);
}

// A project whose first main clip needs 100 frames of a 60-frame DV file, with music under it
// from a 62 s WAV and a name that is not there.
class ProbedProject : public ProbedFiles {
 protected:
  void SetUp() override {
    build::Project project;
    build::Clip dv;
    dv.name = In("dv.avi");
    dv.out = 99;
    build::Clip gone;
    gone.name = In("gone.avi");
    gone.out = 9;
    project.main = {dv, gone};
    build::ExAudioClip music;
    music.name = In("bgm.wav");
    music.out = 299;
    project.exAudio1 = {music};
    folder.Write("p.mpj", build::BuildProject(project));
  }

  const std::string shortClip = "[MainAV] clip 1 \"" + In("dv.avi") +
                                "\" needs 100 frames of its file, which holds 60; the editors "
                                "show nothing past its end.";
  test::TempFolder folder;
};

TEST_F(ProbedProject, CheckListsWhatEachFoundFileIsAndNamesClipsPastTheirEnd) {
  const test::CliOutcome json = test::RunCli(PEXOL_CLI, folder, "check p.mpj --json");
  EXPECT_EQ(json.exitCode, 1) << json.err;
  const nlohmann::json document = nlohmann::json::parse(json.out);
  const nlohmann::json& references = document["references"];
  ASSERT_EQ(references.size(), 3u);
  EXPECT_EQ(references[0]["media"]["videoCodec"], "dvvideo");
  EXPECT_EQ(references[0]["media"]["frames"], 60);
  EXPECT_EQ(references[0]["media"]["frameRate"], nlohmann::json({30000, 1001}));
  EXPECT_EQ(references[0]["editors"]["premierePro"], "yes");
  EXPECT_EQ(references[0]["editors"]["shotcut"], "yes");
  EXPECT_FALSE(references[1].contains("media"));  // not found
  EXPECT_EQ(references[2]["media"]["kind"], "sound");
  EXPECT_EQ(document["warnings"], nlohmann::json({shortClip}));

  const test::CliOutcome list = test::RunCli(PEXOL_CLI, folder, "check p.mpj --list");
  EXPECT_NE(list.out.find("media\t" + In("dv.avi") +
                          "\tAVI (Audio Video Interleaved), DV (Digital Video) (dvsd) 720x480 "
                          "29.97 fps, PCM signed 16-bit little-endian 48000 Hz stereo, 2.0 s\t"
                          "Final Cut Pro, Premiere Pro, DaVinci Resolve, Media Composer, "
                          "Shotcut, Kdenlive\n"),
            std::string::npos)
      << list.out;
  EXPECT_NE(list.err.find(shortClip), std::string::npos) << list.err;

  // Asked not to read the files, or without the program that reads them, the check says what
  // it always said.
  for (const auto& [arguments, shell] :
       {std::pair{"check p.mpj --json --no-probe", ""},
        std::pair{"check p.mpj --json", "PEXOL_RENDER=/nonexistent/pexol-render"}}) {
    const test::CliOutcome plain = test::RunCli(PEXOL_CLI, folder, arguments, shell);
    const nlohmann::json unprobed = nlohmann::json::parse(plain.out);
    EXPECT_FALSE(unprobed["references"][0].contains("media")) << arguments;
    EXPECT_TRUE(unprobed["warnings"].empty()) << arguments;
  }
}

TEST_F(ProbedProject, ExportsGiveEachFileItsWholeLengthAndNameClipsPastTheirEnd) {
  const test::CliOutcome fcpxml = test::RunCli(PEXOL_CLI, folder, "export p.mpj edit.fcpxml");
  EXPECT_EQ(fcpxml.exitCode, 0) << fcpxml.err;
  EXPECT_NE(fcpxml.out.find("- Clips need more frames than their media file holds: editors show "
                            "nothing past its end.\n  1 clip: 00:00:00;00 \"dv.avi\""),
            std::string::npos)
      << fcpxml.out;
  // Every format notes it, as its editors show black there.
  for (const char* format : {"otio", "cmx3600", "mlt", "kdenlive", "fcp7", "fcpxml", "aaf"}) {
    const test::CliOutcome run = test::RunCli(
        PEXOL_CLI, folder, std::string("export p.mpj noted.out --json --format ") + format);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const nlohmann::json notes = nlohmann::json::parse(run.out)["notes"];
    const auto past = std::find_if(notes.begin(), notes.end(), [](const nlohmann::json& note) {
      return note["kind"] == "past-media-end";
    });
    ASSERT_NE(past, notes.end()) << format << " " << notes;
    EXPECT_EQ((*past)["count"], 1) << format;
    EXPECT_EQ((*past)["clips"],
              nlohmann::json::parse(R"([{"record": "00:00:00;00", "name": "dv.avi"}])"));
  }
  const std::string document = folder.Read("edit.fcpxml");
  // 62 s at 30000/1001 is 1858 whole frames, each 1001/30000 s; the DV file's own 60 frames.
  EXPECT_NE(document.find("name=\"bgm.wav\" start=\"0s\" duration=\"1859858/30000s\""),
            std::string::npos)
      << document;
  EXPECT_NE(document.find("name=\"dv.avi\" start=\"0s\" duration=\"60060/30000s\""),
            std::string::npos);
  test::ExpectValidFcpxml(document, "FCPXML with the files' lengths");
  // Unread, an asset is as long as its uses reach, as it always was.
  ASSERT_EQ(test::RunCli(PEXOL_CLI, folder, "export p.mpj unread.fcpxml",
                         "PEXOL_RENDER=/nonexistent/pexol-render")
                .exitCode,
            0);
  EXPECT_NE(
      folder.Read("unread.fcpxml").find("name=\"bgm.wav\" start=\"0s\" duration=\"300300/30000s\""),
      std::string::npos);

  ASSERT_EQ(test::RunCli(PEXOL_CLI, folder, "export p.mpj edit.otio").exitCode, 0);
  const nlohmann::json otio = nlohmann::json::parse(folder.Read("edit.otio"));
  const nlohmann::json& clip = otio["tracks"]["children"][0]["children"][0];
  const nlohmann::json& reference =
      clip["media_references"][clip["active_media_reference_key"].get<std::string>()];
  EXPECT_EQ(reference["available_range"]["duration"]["value"], 60.0) << reference;

  ASSERT_EQ(test::RunCli(PEXOL_CLI, folder, "export p.mpj edit.mlt").exitCode, 0);
  EXPECT_NE(folder.Read("edit.mlt").find("<property name=\"length\">1858</property>"),
            std::string::npos);
}

}  // namespace
}  // namespace pexol
