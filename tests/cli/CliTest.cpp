// tests/cli/CliTest.cpp - pexol-cli as a script uses it: output streams and exit codes
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "support/CliRun.h"
#include "support/TempFolder.h"
#include "tools/builder/ProjectBuilder.h"

namespace {

namespace fs = std::filesystem;

using Outcome = pexol::test::CliOutcome;

class CliTest : public testing::Test {
 protected:
  void SetUp() override {
    Write("demo.mpj", pexol::build::BuildProject(pexol::build::DemoProject()));
    pexol::build::Project lumetta = pexol::build::DemoProject();
    lumetta.software = pexol::build::Software::Lumetta;
    Write("lumetta.mpj", pexol::build::BuildProject(lumetta));
  }

  std::string Path(const std::string& name) const { return temp.Path(name); }
  void Write(const std::string& name, const std::string& bytes) const { temp.Write(name, bytes); }
  std::string Read(const std::string& name) const { return temp.Read(name); }
  Outcome Run(const std::string& arguments) const {
    return pexol::test::RunCli(PEXOL_CLI, temp, arguments);
  }

  pexol::test::TempFolder temp;
};

TEST_F(CliTest, ToTextOnStandardOutputKeepsTheMessageOnStandardError) {
  const Outcome outcome = Run("to-text demo.mpj - --timecode frame --csv");
  EXPECT_EQ(outcome.exitCode, 0);
  EXPECT_EQ(outcome.out.rfind("[Header]\r\nVersion=02.07\r\n", 0), 0u);
  EXPECT_NE(outcome.out.find("\"EVENT No.\",\"TRACK\""), std::string::npos);
  EXPECT_NE(outcome.err.find("conversion completed"), std::string::npos);
  EXPECT_NE(outcome.err.find("software: \"Corvane, Brisko\" (chosen automatically)"),
            std::string::npos);
}

// Every command takes --progress; json keeps standard output for the data and ends standard
// error with the result object, also for a failure and a check with names missing.
TEST_F(CliTest, ProgressModesOnEveryCommand) {
  const Outcome json = Run("to-text demo.mpj - --progress=json");
  EXPECT_EQ(json.exitCode, 0);
  EXPECT_EQ(json.out.rfind("[Header]\r\n", 0), 0u);
  ASSERT_FALSE(json.err.empty());
  std::size_t lines = 0;
  for (std::size_t at = 0; at < json.err.size(); at = json.err.find('\n', at) + 1, ++lines) {
    const std::string line = json.err.substr(at, json.err.find('\n', at) - at);
    EXPECT_TRUE(line.starts_with('{') && line.ends_with('}')) << line;
  }
  EXPECT_GE(lines, 3u);
  EXPECT_NE(json.err.find("\"type\":\"result\"}\n"), std::string::npos) << json.err;
  EXPECT_NE(json.err.find("\"message\":\"conversion completed"), std::string::npos);

  const Outcome failed = Run("export absent.mpj out.otio --progress=json");
  EXPECT_EQ(failed.exitCode, 2);
  EXPECT_EQ(failed.err.rfind("{\"exit\":2,", 0), 0u) << failed.err;
  EXPECT_NE(failed.err.find("\"success\":false"), std::string::npos);
  const Outcome check = Run("check demo.mpj --progress=json");
  EXPECT_EQ(check.exitCode, 1);
  EXPECT_NE(check.err.find("\"missing\":"), std::string::npos) << check.err;

  for (const char* command : {"to-project demo.mpj x.txt y.mpj", "relink demo.mpj z.mpj",
                              "picture demo.mpj p.svg", "check demo.mpj"}) {
    const Outcome none = Run(std::string(command) + " --progress=none");
    EXPECT_EQ(none.err.find("--progress"), std::string::npos) << none.err;  // taken, no error
  }
  const Outcome lines10 = Run("to-text demo.mpj t.txt --progress=lines");
  EXPECT_NE(lines10.err.find("100%"), std::string::npos) << lines10.err;
  EXPECT_EQ(Run("to-text demo.mpj t.txt --progress=bar").exitCode, 2);
}

TEST_F(CliTest, AutoChoosesTheSoftwareThatReadsTheProject) {
  const Outcome outcome = Run("to-text lumetta.mpj l.txt");
  EXPECT_EQ(outcome.exitCode, 0) << outcome.err;
  EXPECT_NE(outcome.err.find("\"Lumetta\" (chosen automatically)"), std::string::npos);
  EXPECT_EQ(outcome.out, "conversion completed\n\nfrom : lumetta.mpj\n   to : l.txt\n");
  const Outcome back = Run("to-project lumetta.mpj l.txt back.mpj");
  EXPECT_EQ(back.exitCode, 0) << back.err;
  EXPECT_EQ(Read("back.mpj"), Read("lumetta.mpj"));
}

TEST_F(CliTest, FailuresExitWithTwoAndLeaveNoFile) {
  Outcome outcome = Run("to-text lumetta.mpj out.txt --software corvane");
  EXPECT_EQ(outcome.exitCode, 2);
  EXPECT_NE(outcome.err.find("\"Lumetta\" reads it completely"), std::string::npos) << outcome.err;
  EXPECT_FALSE(fs::exists(Path("out.txt")));

  outcome = Run("to-text missing.mpj out.txt");
  EXPECT_EQ(outcome.exitCode, 2);
  EXPECT_EQ(outcome.err.rfind("Can not open mpj source file", 0), 0u);

  EXPECT_EQ(Run("to-text demo.mpj out.txt --timecode smpte").exitCode, 2);
  EXPECT_EQ(Run("").exitCode, 2);
}

TEST_F(CliTest, HelpAndVersion) {
  const Outcome help = Run("--help");
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_NE(help.out.find("Examples:"), std::string::npos);
  EXPECT_NE(Run("--version").out.find(PEXOL_VERSION), std::string::npos);
  // Each command's help names its choices in words and shows no parser internals.
  for (const char* command : {"to-text", "to-project", "check", "export", "relink"}) {
    const Outcome own = Run(std::string(command) + " --help");
    EXPECT_EQ(own.exitCode, 0) << command;
    for (const char* internal : {"TEXT REQUIRED", "TEXT=", "INT:", "ENUM:", "->", "Examples:"})
      EXPECT_EQ(own.out.find(internal), std::string::npos) << command << ": " << internal;
    EXPECT_NE(own.out.find("Example:\n  pexol-cli " + std::string(command)), std::string::npos)
        << command;
  }
  EXPECT_NE(Run("to-text --help").out.find("brisko"), std::string::npos);
  EXPECT_EQ(Run("to-text demo.mpj b.txt --software Brisko").exitCode, 0);
}

// On a terminal (a pseudo-terminal made by script(1)) the bar ends full and on its own line,
// and stays away from a text written to the same terminal.
TEST_F(CliTest, TheProgressBarEndsFullAndNeverMixesIntoTheText) {
  if (!fs::exists("/usr/bin/script")) GTEST_SKIP() << "no script(1) to make a terminal";
  ASSERT_EQ(Run("to-text demo.mpj demo.txt").exitCode, 0);
  const std::string folder = temp.Folder().string();
  const auto terminal = [&](const std::string& arguments) {
    const std::string command = "cd '" + folder + "' && script -qec \"'" PEXOL_CLI "' " +
                                arguments + "\" /dev/null </dev/null >terminal.log 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0) << arguments;
    return Read("terminal.log");
  };
  // to-project makes 199 of its 200 steps; the bar still ends at 100 %.
  const std::string converted = terminal("to-project demo.mpj demo.txt new.mpj");
  const std::size_t full = converted.rfind("] 100% ");
  ASSERT_NE(full, std::string::npos) << converted;
  EXPECT_LT(full, converted.find("\r\nsoftware:"));
  EXPECT_LT(converted.find("\r\nsoftware:"), converted.find("conversion completed"));
  const std::string text = terminal("to-text demo.mpj -");
  EXPECT_EQ(text.find("] "), std::string::npos);
  EXPECT_EQ(text.rfind("[Header]", 0), 0u);
}

TEST_F(CliTest, ExportFollowsTheExtensionAndRefusesWhatItCannotWrite) {
  for (const char* name : {"t.otio", "t.mlt", "t.edl", "t.kdenlive", "t.xml", "t.fcpxml"}) {
    const Outcome outcome = Run(std::string("export demo.mpj ") + name);
    EXPECT_EQ(outcome.exitCode, 0) << name << outcome.err;
    EXPECT_NE(outcome.out.find("tracks, "), std::string::npos) << outcome.out;
    EXPECT_TRUE(fs::exists(Path(name)));
  }
  EXPECT_TRUE(fs::exists(Path("t-insert.edl")));
  EXPECT_EQ(Read("t.otio").rfind("{", 0), 0u);
  EXPECT_EQ(Run("export demo.mpj t.txt --format mlt").exitCode, 0);
  EXPECT_NE(Read("t.txt").find("<mlt"), std::string::npos);

  EXPECT_NE(Read("t.xml").find("<xmeml"), std::string::npos);
  EXPECT_NE(Read("t.fcpxml").find("<fcpxml version=\"1.10\">"), std::string::npos);
  EXPECT_NE(Read("t.kdenlive").find("kdenlive:docproperties"), std::string::npos);
  const Outcome unknown = Run("export demo.mpj t.json");
  EXPECT_EQ(unknown.exitCode, 2);
  EXPECT_NE(unknown.err.find(".otio"), std::string::npos);
  const std::string project = Read("demo.mpj");
  EXPECT_EQ(Run("export demo.mpj demo.mpj --format otio").exitCode, 2);
  EXPECT_EQ(Read("demo.mpj"), project);
  EXPECT_EQ(Run("export demo.mpj no/such/folder/t.otio").exitCode, 2);
  EXPECT_EQ(Run("export demo.mpj t.otio --timecode frame").exitCode, 2);
  Write("cut.mpj", project.substr(0, project.size() / 2));
  const Outcome damaged = Run("export cut.mpj cut.mlt");
  EXPECT_EQ(damaged.exitCode, 2);
  EXPECT_NE(damaged.err.find("ends too early"), std::string::npos) << damaged.err;
  EXPECT_FALSE(fs::exists(Path("cut.mlt")));
}

// A file found through a relative search folder is written as an absolute path, which every
// editor resolves; what the export changed from the project is said on standard error.
TEST_F(CliTest, ExportWritesAbsolutePathsAndSaysWhatItChanged) {
  fs::create_directories(Path("footage/music"));
  Write("footage/music/bgm.wav", "x");
  const Outcome outcome = Run("export demo.mpj s.edl --search footage");
  ASSERT_EQ(outcome.exitCode, 0) << outcome.err;
  const std::string bgm = fs::path(Path("footage/music/bgm.wav")).lexically_normal().string();
  EXPECT_NE(Read("s-exaudio1.edl").find("* SOURCE FILE: " + bgm + "\r\n"), std::string::npos)
      << Read("s-exaudio1.edl");
  EXPECT_NE(outcome.err.find("\"outro.avi\" starts 5 frames before its media's first frame"),
            std::string::npos)
      << outcome.err;
  // Levels become gains in the formats that carry them.
  const Outcome mlt = Run("export demo.mpj s.mlt --search footage");
  EXPECT_NE(mlt.err.find("\"voice.wav\" has levels above 200"), std::string::npos) << mlt.err;
  EXPECT_NE(Read("s.mlt").find(">" + bgm + "<"), std::string::npos);
}

// Folders copied from a Japanese Windows drive with their bytes kept have Shift-JIS names
// ("素材" here): the search and the map rules match them as the project's names decode, check
// and collect take the file by its bytes (check --list shows it decoded), and an XML export
// refuses such a path, saying what to do.
TEST_F(CliTest, FoldersNamedInShiftJisAreSearchedAndMapped) {
  const std::string folder = "\x91\x66\x8d\xde";  // 素材 in Shift-JIS
  fs::create_directories(Path("footage/" + folder + "/audio"));
  Write("footage/" + folder + "/audio/bgm.wav", "x");
  const Outcome check = Run("check demo.mpj --search footage --list");
  EXPECT_NE(check.out.find("found\taudio/bgm.wav\tfootage/素材/audio/bgm.wav\n"), std::string::npos)
      << check.out;
  const Outcome exported = Run("export demo.mpj s.mlt --search footage");
  EXPECT_EQ(exported.exitCode, 2);
  // Its bytes escaped, for decoded the name would look valid; what it reads as; what to do.
  EXPECT_NE(exported.err.find(Path("footage/\\x91f\\x8D\\xDE/audio/bgm.wav") +
                              "\" is not UTF-8, and XML holds no other names; in Shift-JIS it "
                              "reads \"" +
                              Path("footage/\xe7\xb4\xa0\xe6\x9d\x90/audio/bgm.wav") + "\""),
            std::string::npos)
      << exported.err;
  EXPECT_NE(exported.err.find("Collect the project (pexol-cli collect"), std::string::npos)
      << exported.err;
  EXPECT_NE(exported.err.find("convmv"), std::string::npos) << exported.err;
  EXPECT_EQ(Run("collect demo.mpj gathered --search footage").exitCode, 1);  // others missing
  EXPECT_EQ(Read("gathered/media/bgm.wav"), "x");

  // A Windows name in the project, "C:\素材\take.wav", mapped to the folder above it.
  pexol::build::Project project;
  project.exAudio1 = {{"C:\\" + folder + "\\take.wav", 0, 29, 0, 100, 100, {}}};
  Write("mapped.mpj", pexol::build::BuildProject(project));
  Write("footage/" + folder + "/take.wav", "x");
  const Outcome mapped = Run("check mapped.mpj --list --map 'C:\\=" + Path("footage") + "'");
  EXPECT_EQ(mapped.exitCode, 0) << mapped.out << mapped.err;
  // A project file named in Shift-JIS gives an XML export's timeline its decoded name.
  Write(folder + ".mpj", pexol::build::BuildProject(project));
  const Outcome named = Run("export '" + folder + ".mpj' named.mlt");
  EXPECT_EQ(named.exitCode, 0) << named.err;
  EXPECT_NE(Read("named.mlt").find("title=\"\xe7\xb4\xa0\xe6\x9d\x90\""), std::string::npos)
      << Read("named.mlt");
}

TEST_F(CliTest, CheckListsEveryReferenceAndRelinkSaysWhatItWouldChange) {
  fs::create_directories(Path("clips"));
  Write("clips/intro.avi", "x");
  const Outcome list = Run("check demo.mpj --list");
  EXPECT_EQ(list.exitCode, 1);
  EXPECT_NE(list.out.find("found\tclips/intro.avi\t" + Path("clips/intro.avi")), std::string::npos)
      << list.out;
  EXPECT_NE(list.out.find("missing\tclips/outro.avi\tlast tried: " + Path("clips/outro.avi")),
            std::string::npos)
      << list.out;

  const std::string project = Read("demo.mpj");
  const Outcome dry = Run("relink demo.mpj moved.mpj --map 'clips=D:\\Footage' --dry-run");
  EXPECT_EQ(dry.exitCode, 0) << dry.err;
  EXPECT_NE(dry.out.find("[MainAV]\tclips/intro.avi -> D:\\Footage\\intro.avi"), std::string::npos)
      << dry.out;
  EXPECT_NE(dry.err.find("9 media names would change; nothing written"), std::string::npos)
      << dry.err;
  EXPECT_FALSE(fs::exists(Path("moved.mpj")));
  EXPECT_EQ(Run("relink demo.mpj moved.mpj --map 'clips=D:\\Footage'").exitCode, 0);
  EXPECT_NE(Read("moved.mpj"), project);
  // Rules that fit no name still copy the project, and say so.
  const Outcome none = Run("relink demo.mpj same.mpj --map 'E:\\Other=D:\\Footage'");
  EXPECT_EQ(none.exitCode, 0);
  EXPECT_NE(none.err.find("warning: no name matched any rule\n"), std::string::npos) << none.err;
  EXPECT_EQ(Read("same.mpj"), project);
  EXPECT_EQ(Run("relink demo.mpj moved.mpj").exitCode, 2);  // no rule
}

// Only the render loads MLT and FFmpeg: each of these runs is held on a FIFO given as its
// project while the files mapped into its process are read.
TEST_F(CliTest, CommandsThatDoNotRenderMapNoMltOrFfmpeg) {
  const std::string project = Read("demo.mpj");
  for (const char* arguments :
       {"to-text held.mpj out.txt", "check held.mpj", "export held.mpj out.mlt"}) {
    SCOPED_TRACE(arguments);
    ASSERT_EQ(::mkfifo(Path("held.mpj").c_str(), 0600), 0);
    const pid_t child = ::fork();
    if (child == 0) {
      if (::chdir(temp.Folder().c_str()) != 0) ::_exit(99);
      std::freopen("/dev/null", "w", stdout);
      std::freopen("/dev/null", "w", stderr);
      ::execl("/bin/sh", "sh", "-c", (std::string("exec '") + PEXOL_CLI + "' " + arguments).c_str(),
              nullptr);
      ::_exit(98);
    }
    // Opening the FIFO for writing waits until the run has opened it: it has started.
    const int writer = ::open(Path("held.mpj").c_str(), O_WRONLY);
    ASSERT_GE(writer, 0);
    std::ifstream mapsFile("/proc/" + std::to_string(child) + "/maps");
    const std::string maps(std::istreambuf_iterator<char>(mapsFile), {});
    EXPECT_NE(maps.find("libicuuc"), std::string::npos) << maps;
    for (const char* library : {"libmlt", "libavcodec", "libavformat", "libswscale", "libx264"})
      EXPECT_EQ(maps.find(library), std::string::npos) << library;
    EXPECT_EQ(::write(writer, project.data(), project.size()),
              static_cast<ssize_t>(project.size()));
    ::close(writer);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) <= 1) << status;
    fs::remove(Path("held.mpj"));
  }
}

}  // namespace
