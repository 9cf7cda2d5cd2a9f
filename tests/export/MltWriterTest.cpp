// tests/export/MltWriterTest.cpp - MLT documents as MLT itself loads and plays them
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "ExportTimelines.h"
#include "XmlRead.h"
#include "export/KdenliveWriter.h"
#include "export/MltWriter.h"

namespace pexol {
namespace {

namespace fs = std::filesystem;

struct ProbeResult {
  int status = -1;
  std::string out;
  std::string errors;
};

std::string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

int RunCommand(const std::string& command) {
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string Quoted(const fs::path& path) {
  return "'" + path.string() + "'";
}

// A silent mono 16-bit sound of `seconds` at 48 kHz: melt 7.12 may never end when it writes a
// sound file alone, so this one is written here.
void WriteWave(const fs::path& path, int seconds) {
  const std::uint32_t dataBytes = 48000u * 2u * static_cast<std::uint32_t>(seconds);
  std::string header = "RIFF";
  const auto add = [&header](std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) header += static_cast<char>((value >> (8 * i)) & 0xFF);
  };
  add(36 + dataBytes, 4);
  header += "WAVEfmt ";
  add(16, 4);
  add(1, 2);          // PCM
  add(1, 2);          // mono
  add(48000, 4);      // samples per second
  add(48000 * 2, 4);  // bytes per second
  add(2, 2);          // bytes per sample
  add(16, 2);         // bits per sample
  header += "data";
  add(dataBytes, 4);
  std::ofstream out(path, std::ios::binary);
  out << header << std::string(dataBytes, '\0');
}

// Real media made once by melt: a movie with sound, a sound file and a still.
class MltExport : public testing::Test {
 protected:
  static void SetUpTestSuite() {
#ifndef PEXOL_MLT_PROBE
    GTEST_SKIP() << "built without the MLT probe";
#endif
    // MLT's Qt module needs a display name even when it draws off screen.
    setenv("DISPLAY", ":99", 0);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    folder_ = fs::temp_directory_path() / ("pexol-mlt-media-" + std::to_string(getpid()));
    fs::create_directories(folder_);
    // A melt that hangs must not hold the test run: it is stopped after two minutes.
    const std::string melt = "timeout 120 melt -silent -profile dv_ntsc ";
    const std::string quietly = " terminate_on_pause=1 real_time=-1 >/dev/null 2>&1";
    ASSERT_EQ(
        RunCommand(melt + "color:red out=599 -audio-track tone: out=599 -consumer avformat:" +
                   Quoted(folder_ / "movie.avi") + " vcodec=mpeg4 acodec=pcm_s16le" + quietly),
        0);
    WriteWave(folder_ / "music.wav", 20);
    std::ofstream(folder_ / "still.ppm", std::ios::binary)
        << std::string("P6\n2 2\n255\n\xff\0\0\0\xff\0\0\0\xff\xff\xff\xff", 23);
  }

  static void TearDownTestSuite() {
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }

  static std::string MediaPath(std::string_view stored) {
    const std::string name(stored);
    if (name.ends_with(".wav")) return (folder_ / "music.wav").string();
    if (name.ends_with(".ppm") || name.ends_with(".bmp")) return (folder_ / "still.ppm").string();
    if (name.ends_with(".avi") && name.find('&') == std::string::npos) {
      return (folder_ / "movie.avi").string();
    }
    return (folder_ / name).string();
  }

  // Loads `document` with the probe, which also renders a frame of every entry.
  static ProbeResult Probe(const std::string& document) {
    ProbeResult result;
#ifdef PEXOL_MLT_PROBE
    const fs::path file = folder_ / "probe.mlt";
    std::ofstream(file, std::ios::binary) << document;
    const fs::path out = folder_ / "probe.out";
    const fs::path errors = folder_ / "probe.err";
    // MLT keeps memory to the end of the process; in a sanitizer build that is not the probe's
    // failure to report.
    result.status =
        RunCommand("ASAN_OPTIONS=detect_leaks=0 timeout 120 " + std::string(PEXOL_MLT_PROBE) + " " +
                   Quoted(file) + " >" + Quoted(out) + " 2>" + Quoted(errors));
    result.out = ReadText(out);
    result.errors = ReadText(errors);
#endif
    return result;
  }

  static inline fs::path folder_;
};

// The tracks MLT builds from the sample: every record position of the timeline, the tail of
// the outgoing clip and the head of the incoming one inside each transition, the slow clip in
// the timewarp producer's own (doubled) frames, blanks for the gaps.
TEST_F(MltExport, SampleLoadsAsTheTimeline) {
  ExportCounts counts;
  const ProbeResult probe =
      Probe(test::Exported("mlt", test::SampleTimeline(), test::NtscSettings(), MediaPath, counts));
  EXPECT_EQ(probe.status, 0) << probe.errors;
  EXPECT_EQ(probe.out, R"(fps 30000/1001
size 720x480 aspect 4:3
length 335
shotcut 1
track 0 background - hide=- length=335
entry color black 0 334
track 1 playlist0 V1 hide=- length=335
entry avformat producer0 100 204
entry tractor transition0 0 14
  part avformat producer0 205 219
  part avformat producer1 10 24
entry avformat producer1 25 89
entry timewarp producer2 0 59
entry color producer3 0 59
entry tractor transition1 0 9
  part color producer3 60 69
  part qimage producer4 0 9
entry qimage producer4 10 29
track 2 playlist1 V2 hide=- length=260
blank 200
entry avformat producer5 10 39
blank 20
entry avformat producer6 50 59
track 3 playlist2 Titles hide=- length=200
blank 50
entry color producer7 0 149
track 4 playlist3 A2 hide=1 length=300
entry avformat producer8 0 299
track 5 playlist4 A3 hide=1 length=130
blank 100
entry avformat producer9 30 59
transition mix 0 5
transition mix 0 4
transition qtblend 1 3
transition qtblend 1 2
transition mix 0 2
transition mix 0 1
)");
  EXPECT_EQ(counts.tracks, 5);
  EXPECT_EQ(counts.clips, 10);
  EXPECT_EQ(counts.transitions, 2);
}

TEST_F(MltExport, ShotcutMarksAndSilencedClips) {
  ExportCounts counts;
  const std::string document =
      test::Exported("mlt", test::SampleTimeline(), test::NtscSettings(), MediaPath, counts);
  EXPECT_NE(document.find(R"(<property name="shotcut:transition">lumaMix</property>)"),
            std::string::npos);
  EXPECT_NE(document.find(R"(<property name="resource">0xFF0000ff</property>)"), std::string::npos);
  EXPECT_NE(document.find(R"(<property name="argument">Hello
World</property>)"),
            std::string::npos);
  // b.avi has no sound in the project, a.avi has; extra audio always plays.
  const auto producer = [&document](int n) {
    const std::size_t begin = document.find("<producer id=\"producer" + std::to_string(n));
    return document.substr(begin, document.find("</producer>", begin) - begin);
  };
  EXPECT_EQ(producer(0).find("audio_index"), std::string::npos);
  EXPECT_NE(producer(1).find(R"(<property name="audio_index">-1</property>)"), std::string::npos);
  EXPECT_EQ(producer(8).find("audio_index"), std::string::npos);
}

TEST_F(MltExport, PalWideScreenProfile) {
  Timeline timeline = test::SampleTimeline();
  timeline.wideScreen = true;
  ExportCounts counts;
  const ProbeResult probe =
      Probe(test::Exported("mlt", timeline, test::PalSettings(), MediaPath, counts));
  EXPECT_EQ(probe.status, 0) << probe.errors;
  EXPECT_EQ(probe.out.substr(0, probe.out.find("length")), "fps 25/1\nsize 720x576 aspect 16:9\n");
}

TEST_F(MltExport, MarkupCharactersInPathsAndNames) {
  const std::string odd = "a&b \"c\" <d> 'e'.avi";
  fs::copy_file(folder_ / "movie.avi", folder_ / odd, fs::copy_options::overwrite_existing);
  Timeline timeline;
  timeline.main.push_back(test::Movie(odd, 0, 30, 0, 30, true));
  ExportSettings settings = test::NtscSettings();
  settings.projectName = "R&D <cut>";
  ExportCounts counts;
  const std::string document = test::Exported("mlt", timeline, settings, MediaPath, counts);
  EXPECT_NE(document.find("title=\"R&amp;D &lt;cut&gt;\""), std::string::npos);
  const ProbeResult probe = Probe(document);
  EXPECT_EQ(probe.status, 0) << probe.errors;
  EXPECT_NE(probe.out.find("entry avformat producer0 0 29\n"), std::string::npos) << probe.out;
}

// The probe is what the tests above rely on: it must fail on media MLT cannot open, which melt
// itself would only mention on its error output.
TEST_F(MltExport, ProbeFailsOnMediaMltCannotOpen) {
  Timeline timeline;
  timeline.main.push_back(test::Movie("missing.mov", 0, 30, 0, 30));
  ExportCounts counts;
  const ProbeResult probe =
      Probe(test::Exported("mlt", timeline, test::NtscSettings(), MediaPath, counts));
  EXPECT_NE(probe.status, 0);
}

TEST_F(MltExport, EmptyTimelineStillLoads) {
  ExportCounts counts;
  const ProbeResult probe =
      Probe(test::Exported("mlt", Timeline{}, test::NtscSettings(), MediaPath, counts));
  EXPECT_EQ(probe.status, 0) << probe.errors;
  EXPECT_NE(probe.out.find("track 1 playlist0 V1"), std::string::npos);
  EXPECT_EQ(counts.clips, 0);
}

// What Kdenlive's loader requires of a project, or it drops clips, asks for a profile or refuses
// the file: the document properties; every clip of the timeline made from a producer whose
// Kdenlive id a producer of the bin carries; each track a tractor of two playlists under the
// timeline's tractor, over the black track; the wipe's luma a file Kdenlive has. MLT loads it
// and renders a frame of every entry without an error.
TEST_F(MltExport, KdenliveProjectKeepsKdenlivesLoaderRules) {
  ExportCounts counts;
  const std::string document =
      test::Exported("kdenlive", test::SampleTimeline(), test::NtscSettings(), MediaPath, counts);
  const test::XmlRead xml(document);
  ASSERT_TRUE(xml.Loaded());
  const std::string properties =
      "//playlist[@id='main_bin']/property[@name='kdenlive:docproperties.";
  EXPECT_EQ(xml.First(properties + "version']"), "1.04");
  EXPECT_FALSE(xml.First(properties + "kdenliveversion']").empty());
  EXPECT_EQ(xml.First(properties + "profile']"), "dv_ntsc");

  const auto idOf = [&xml](const std::string& producer) {
    return xml.First("/mlt/producer[@id='" + producer + "']/property[@name='kdenlive:id']");
  };
  std::set<std::string> binIds;
  for (const std::string& producer : xml.Texts("//playlist[@id='main_bin']/entry/@producer"))
    EXPECT_TRUE(binIds.insert(idOf(producer)).second) << producer;
  EXPECT_EQ(binIds.count(""), 0u);
  int entries = 0;
  for (xmlNode* entry : xml.Nodes("//playlist[@id!='main_bin']/entry")) {
    const std::string producer = xml.First("@producer", entry);
    EXPECT_EQ(binIds.count(idOf(producer)), 1u) << producer;
    EXPECT_EQ(xml.First("property[@name='kdenlive:id']", entry), idOf(producer));
    ++entries;
  }
  // 10 clips, the sound of a.avi and of the first insert from tracks of their own, and the
  // title's image on a track of its own: Kdenlive has no effect that shows an image.
  EXPECT_EQ(entries, 13);

  const std::string timeline = "/mlt/tractor[last()]";
  EXPECT_EQ(xml.Texts(timeline + "/track/@producer").front(), "black_track");
  std::vector<std::string> names;
  for (const std::string& tractor : xml.Texts(timeline + "/track[position()>1]/@producer")) {
    const std::string track = "/mlt/tractor[@id='" + tractor + "']";
    names.push_back(xml.First(track + "/property[@name='kdenlive:track_name']"));
    const std::vector<std::string> playlists = xml.Texts(track + "/track/@producer");
    ASSERT_EQ(playlists.size(), 2u) << tractor;
    for (const std::string& playlist : playlists)
      EXPECT_EQ(xml.Nodes("/mlt/playlist[@id='" + playlist + "']").size(), 1u) << playlist;
    // A clip lies on the second playlist only as one side of a mix: where a mix starts or ends.
    std::set<std::string> mixEdges;
    for (xmlNode* mix : xml.Nodes(track + "/transition")) {
      mixEdges.insert(xml.First("@in", mix));
      mixEdges.insert(std::to_string(std::stoll(xml.First("@out", mix)) + 1));
    }
    long long at = 0;
    for (xmlNode* item : xml.Nodes("/mlt/playlist[@id='" + playlists[1] + "']/*[@length or @in]")) {
      if (xmlStrEqual(item->name, BAD_CAST "blank")) {
        at += std::stoll(xml.First("@length", item));
        continue;
      }
      const long long end =
          at + std::stoll(xml.First("@out", item)) - std::stoll(xml.First("@in", item)) + 1;
      EXPECT_TRUE(mixEdges.count(std::to_string(at)) || mixEdges.count(std::to_string(end)))
          << tractor << " at " << at;
      at = end;
    }
  }
  EXPECT_EQ(names, (std::vector<std::string>{"V2 sound", "A3", "A2", "A1", "V1", "V2",
                                             "Title images", "Titles"}));
  EXPECT_EQ(counts.tracks, 8);
  EXPECT_EQ(counts.clips, 10);
  EXPECT_EQ(counts.transitions, 2);

  const ProbeResult probe = Probe(document);
  EXPECT_EQ(probe.status, 0) << probe.errors;

  const std::vector<std::string> lumas = xml.Texts(
      "//transition[property[@name='mlt_service']='luma']/property[@name='resource'][.!='']");
  EXPECT_EQ(lumas, std::vector<std::string>{kdenliveWipeLuma});
  if (!fs::exists("/usr/share/kdenlive/lumas"))
    GTEST_SKIP() << "Kdenlive is not installed here: its lumas cannot be looked for";
  for (const std::string& luma : lumas) EXPECT_TRUE(fs::exists(luma)) << luma;
}

TEST_F(MltExport, KdenliveProfileFollowsRateAndAspect) {
  Timeline timeline = test::SampleTimeline();
  timeline.wideScreen = true;
  ExportCounts counts;
  const test::XmlRead xml(
      test::Exported("kdenlive", timeline, test::PalSettings(), MediaPath, counts));
  EXPECT_EQ(xml.First("//property[@name='kdenlive:docproperties.profile']"), "dv_pal_wide");
  EXPECT_EQ(xml.First("/mlt/profile/@sample_aspect_num"), "64");
}

}  // namespace
}  // namespace pexol
