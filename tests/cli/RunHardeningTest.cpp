// tests/cli/RunHardeningTest.cpp - pexol-cli on hostile sources, destinations and signals: every
// run succeeds or exits 2 with a message, leaves every destination as it was and leaves no
// temporary file
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>

#include "support/CliRun.h"
#include "support/TempFolder.h"
#include "tools/builder/ProjectBuilder.h"

namespace {

namespace fs = std::filesystem;

using Outcome = pexol::test::CliOutcome;

constexpr const char* cmxSet[] = {"o.edl", "o-insert.edl", "o-exaudio1.edl", "o-exaudio2.edl"};

class RunHardeningTest : public testing::Test {
 protected:
  void SetUp() override {
    Write("demo.mpj", pexol::build::BuildProject(pexol::build::DemoProject()));
  }

  std::string Path(const std::string& name) const { return temp.Path(name); }
  void Write(const std::string& name, const std::string& bytes) const { temp.Write(name, bytes); }
  std::string Read(const std::string& name) const { return temp.Read(name); }

  // Runs pexol-cli in the test's folder; `shell` may come before it (a ulimit, a pipe into it).
  Outcome Run(const std::string& arguments, const std::string& shell = "") const {
    return pexol::test::RunCli(PEXOL_CLI, temp, arguments, shell);
  }

  static std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  // Every file in the folder (links as their targets' names) with its bytes.
  std::map<std::string, std::string> Snapshot() const {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(temp.Folder())) {
      const std::string name = entry.path().filename().string();
      if (entry.is_symlink())
        files[name] = "-> " + fs::read_symlink(entry.path()).string();
      else if (entry.is_regular_file() && entry.file_size() > (1 << 20))
        files[name] = std::to_string(entry.file_size()) + " bytes";  // the sparse source
      else if (entry.is_regular_file())
        files[name] = Read(name);
      else
        files[name] = "(other)";
    }
    return files;
  }

  // The temporary files left in the folder.
  std::vector<std::string> Debris() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(temp.Folder()))
      if (entry.path().filename().string().find(".pexol-") != std::string::npos)
        names.push_back(entry.path().filename().string());
    return names;
  }

  // Asserts a run failed as it should: exit 2, `message` on standard error, nothing changed.
  void ExpectRefused(const std::string& arguments, const std::string& message,
                     const std::string& shell = "") const {
    const auto before = Snapshot();
    const Outcome outcome = Run(arguments, shell);
    EXPECT_EQ(outcome.exitCode, 2) << arguments << "\n" << outcome.err;
    EXPECT_NE(outcome.err.find(message), std::string::npos) << arguments << "\n" << outcome.err;
    EXPECT_EQ(Snapshot(), before) << arguments;
    EXPECT_EQ(Debris(), std::vector<std::string>{}) << arguments;
  }

  // An earlier export's CMX set (at PAL rate, so that a new one differs in every file).
  void EarlierSet() const { ASSERT_EQ(Run("export demo.mpj o.edl --timecode pal").exitCode, 0); }

  pexol::test::TempFolder temp;
};

TEST_F(RunHardeningTest, SourcesThatNeverEndOrDoNotFitAreRefusedBeforeTheyAreRead) {
  EarlierSet();
  for (const char* device : {"/dev/zero", "/dev/urandom"}) {
    ExpectRefused(std::string("export ") + device + " o.edl", "it is a device");
    ExpectRefused(std::string("relink ") + device + " o.edl --map 'a=b'", "it is a device");
    ExpectRefused(std::string("check ") + device, "it is a device");
  }
  ASSERT_EQ(::mkfifo(Path("fifo").c_str(), 0600), 0);
  ExpectRefused("export fifo o.edl", "it is a pipe that nothing was written to");
  // One byte past the cap, as a sparse file: refused by its size, before it is read.
  fs::resize_file(Path("o.edl"), 0);
  std::ofstream(Path("huge.mpj")).close();
  fs::resize_file(Path("huge.mpj"), (std::uintmax_t{256} << 20) + 1);
  ExpectRefused("export huge.mpj o.edl", "more than 256 MiB");
  ExpectRefused("to-text huge.mpj o.edl", "more than 256 MiB");
  fs::remove(Path("huge.mpj"));
  // A pipe is read to its end; past the cap it is refused all the same.
  const Outcome piped = Run("to-text /dev/stdin piped.txt", "cat demo.mpj |");
  EXPECT_EQ(piped.exitCode, 0) << piped.err;
  ExpectRefused("to-text /dev/stdin o.edl", "more than 256 MiB", "head -c 268435457 /dev/zero |");
}

// An all-zero file reads as an empty project followed by bytes no project holds: every run that
// reads it says so, as to-text always did, and the export adds that it holds no clips.
TEST_F(RunHardeningTest, UnreadBytesAndAnEmptyTimelineAreTold) {
  Write("zero.mpj", std::string(4096, '\0'));
  const Outcome exported = Run("export zero.mpj z.otio");
  EXPECT_EQ(exported.exitCode, 0) << exported.err;
  EXPECT_NE(exported.out.find("after the end of the project were left unread"), std::string::npos)
      << exported.out;
  EXPECT_NE(exported.err.find("timeline is empty"), std::string::npos) << exported.err;
  const Outcome relinked = Run("relink zero.mpj z.mpj --map 'a=b'");
  EXPECT_EQ(relinked.exitCode, 0) << relinked.err;
  EXPECT_NE(relinked.out.find("after the end of the project were left unread"), std::string::npos)
      << relinked.out;
}

// The limit (16 blocks) lets the messages through and stops the large project's files.
TEST_F(RunHardeningTest, AFileSizeLimitFailsTheWriteAndKeepsEveryDestination) {
  Write("demo.mpj", pexol::build::BuildProject(pexol::build::LargeProject()));
  EarlierSet();
  Write("t.txt", "old");
  ExpectRefused("to-text demo.mpj t.txt", "File too large", "ulimit -f 16;");
  ExpectRefused("export demo.mpj o.edl", "File too large", "ulimit -f 16;");
}

TEST_F(RunHardeningTest, ACmxSetIsReplacedAsOne) {
  EarlierSet();
  // A member that cannot be written fails the run before any file of the set is replaced.
  fs::remove(Path("o-exaudio2.edl"));
  fs::create_symlink("/dev/full", Path("o-exaudio2.edl"));
  ExpectRefused("export demo.mpj o.edl", "The destination was left as it was.");
  fs::remove(Path("o-exaudio2.edl"));

  // A project without the other tracks takes the earlier set's files away with the new DEST.
  EarlierSet();
  pexol::build::Project mainOnly = pexol::build::DemoProject();
  mainOnly.insert.clear();
  mainOnly.insertFilters.clear();
  mainOnly.exAudio1.clear();
  mainOnly.exAudio2.clear();
  mainOnly.exAudio1Filters.clear();
  mainOnly.titleTrack = 1;
  Write("main.mpj", pexol::build::BuildProject(mainOnly));
  const Outcome outcome = Run("export main.mpj o.edl");
  EXPECT_EQ(outcome.exitCode, 0) << outcome.err;
  for (const char* removed : {"o-insert.edl", "o-exaudio1.edl", "o-exaudio2.edl"}) {
    EXPECT_FALSE(fs::exists(Path(removed))) << removed;
    EXPECT_NE(outcome.err.find(std::string(removed) + "\" was removed"), std::string::npos)
        << outcome.err;
  }
}

TEST_F(RunHardeningTest, TwoExportsToOneDestinationFollowEachOther) {
  // The two sets, each made alone.
  std::map<std::string, std::string> pal, ntsc;
  ASSERT_EQ(Run("export demo.mpj o.edl --timecode pal").exitCode, 0);
  for (const char* name : cmxSet) pal[name] = Read(name);
  ASSERT_EQ(Run("export demo.mpj o.edl").exitCode, 0);
  for (const char* name : cmxSet) ntsc[name] = Read(name);
  for (int round = 0; round < 20; ++round) {
    const std::string folder = temp.Folder().string();
    std::thread first([&] {
      EXPECT_EQ(
          std::system(("cd '" + folder +
                       "' && '" PEXOL_CLI "' export demo.mpj o.edl --timecode pal >/dev/null 2>&1")
                          .c_str()),
          0);
    });
    EXPECT_EQ(
        std::system(("cd '" + folder + "' && '" PEXOL_CLI "' export demo.mpj o.edl >/dev/null 2>&1")
                        .c_str()),
        0);
    first.join();
    std::map<std::string, std::string> now;
    for (const char* name : cmxSet) now[name] = Read(name);
    EXPECT_TRUE(now == pal || now == ntsc) << "round " << round << " mixed the two sets";
    EXPECT_EQ(Debris(), std::vector<std::string>{});
  }
}

// The run is stopped while its temporary file exists: a large project keeps it there long
// enough to be seen, and the test waits for it, not for a time.
TEST_F(RunHardeningTest, AnInterruptedRunRemovesItsTemporaryFileAndAKilledRunsIsRemovedLater) {
  Write("large.mpj", pexol::build::BuildProject(pexol::build::LargeProject(40)));
  Write("t.txt", "old");
  for (const int signal : {SIGINT, SIGTERM, SIGKILL}) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      if (::chdir(temp.Folder().c_str()) != 0) ::_exit(99);
      std::freopen("/dev/null", "w", stdout);
      std::freopen((temp.Folder().string() + ".err").c_str(), "w", stderr);
      ::execl(PEXOL_CLI, PEXOL_CLI, "to-text", "large.mpj", "t.txt", nullptr);
      ::_exit(98);
    }
    bool seen = false;
    int status = 0;
    while (!seen && ::waitpid(child, &status, WNOHANG) == 0) {
      seen = !Debris().empty();
      if (!seen) std::this_thread::yield();
    }
    if (!seen) GTEST_SKIP() << "the run ended before its temporary file could be seen";
    ::kill(child, signal);
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_EQ(Read("t.txt"), "old");
    if (signal == SIGKILL) {
      EXPECT_TRUE(WIFSIGNALED(status));
      EXPECT_EQ(Debris().size(), 1u);
      continue;
    }
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2) << signal;
    const std::string err = Slurp(temp.Folder().string() + ".err");
    EXPECT_NE(err.find("interrupted"), std::string::npos) << err;
    EXPECT_EQ(Debris(), std::vector<std::string>{});
  }
  // The killed run's file is removed by the next run in the folder; a live run's is kept (this
  // test's own process, with its true start time, stands for one).
  std::ifstream stat("/proc/self/stat");
  std::string line;
  std::getline(stat, line);
  std::istringstream fields(line.substr(line.rfind(')') + 2));
  std::string field;
  for (int number = 3; number <= 22; ++number) fields >> field;
  const std::string live = ".pexol-" + std::to_string(::getpid()) + "-" + field + "-0.tmp";
  Write(live, "live");
  EXPECT_EQ(Run("to-text demo.mpj t.txt").exitCode, 0);
  EXPECT_EQ(Debris(), std::vector<std::string>{live});
}

TEST_F(RunHardeningTest, StandardOutputCarriesOnlyTheOutput) {
  Write("demo.txt", "");
  ASSERT_EQ(Run("to-text demo.mpj demo.txt").exitCode, 0);
  const Outcome otio = Run("export demo.mpj - --format otio");
  EXPECT_EQ(otio.exitCode, 0);
  EXPECT_EQ(otio.out.front(), '{');
  EXPECT_EQ(otio.out.substr(otio.out.size() - 2), "}\n");
  EXPECT_NE(otio.err.find("export completed"), std::string::npos);
  const Outcome relinked = Run("relink demo.mpj - --map 'clips=D:\\Footage'");
  ASSERT_EQ(Run("relink demo.mpj r.mpj --map 'clips=D:\\Footage'").exitCode, 0);
  EXPECT_EQ(relinked.out, Read("r.mpj"));
  EXPECT_EQ(Run("to-project demo.mpj demo.txt -").out, Read("demo.mpj"));

  // An EDL set on standard output or a device: the main track alone, no files beside it.
  const auto before = Snapshot();
  const Outcome cmx = Run("export demo.mpj - --format cmx3600");
  EXPECT_EQ(cmx.exitCode, 0);
  EXPECT_EQ(cmx.out.rfind("TITLE:", 0), 0u);
  EXPECT_NE(cmx.err.find("Only the main track was written"), std::string::npos) << cmx.err;
  EXPECT_EQ(Run("export demo.mpj /dev/null --format cmx3600").exitCode, 0);
  EXPECT_EQ(Snapshot(), before);
  for (const char* command : {"to-text", "to-project", "export", "relink"}) {
    std::string help = Run(std::string(command) + " --help").out;
    // The help wraps its descriptions; words are compared, not lines.
    for (std::size_t at; (at = help.find("\n ")) != std::string::npos;) help.replace(at, 2, " ");
    for (std::size_t at; (at = help.find("  ")) != std::string::npos;) help.replace(at, 2, " ");
    EXPECT_NE(help.find("- for standard output"), std::string::npos) << command << help;
  }
}

TEST_F(RunHardeningTest, OddDestinationsAreHandledAsDocumented) {
  // The longest legal name: the temporary file's name is short and hidden.
  const std::string longest = std::string(251, 'n') + ".txt";
  EXPECT_EQ(Run("to-text demo.mpj " + longest).exitCode, 0);
  EXPECT_TRUE(fs::exists(Path(longest)));
  // A dangling link: the file it names is made, the link stays.
  fs::create_directories(Path("target"));
  fs::create_symlink("target/made.txt", Path("link.txt"));
  EXPECT_EQ(Run("to-text demo.mpj link.txt").exitCode, 0);
  EXPECT_TRUE(fs::is_symlink(Path("link.txt")));
  EXPECT_TRUE(fs::is_regular_file(Path("target/made.txt")));
  // A loop is refused before the run, by name.
  fs::create_symlink("loop-b", Path("loop-a"));
  fs::create_symlink("loop-a", Path("loop-b"));
  ExpectRefused("to-text demo.mpj loop-a", "leads round in a loop");
  EXPECT_EQ(Debris(), std::vector<std::string>{});
}

TEST_F(RunHardeningTest, NamesTheFormatOrTheOutputCannotHoldAreRefused) {
  Write("moved.mpj", "old");
  const std::string folder = "D:\\" + std::string(300, 'f');
  ExpectRefused("relink demo.mpj moved.mpj --map 'clips=" + folder + "'", "bytes long");
  ExpectRefused("relink demo.mpj moved.mpj --map 'audio\\bgm.wav=audio\\bgm.clr'",
                "ends as a colour clip's does");
  // A folder whose name XML cannot hold: the MLT export names it; OTIO warns of U+FFFD.
  fs::create_directories(Path("bad\x01"));
  fs::copy_file(Path("demo.mpj"), Path("bad\x01/demo.mpj"));
  ExpectRefused("export 'bad\x01/demo.mpj' x.mlt", "bad\\x01");
  fs::create_directories(Path("bad\xff"));
  fs::copy_file(Path("demo.mpj"), Path("bad\xff/demo.mpj"));
  const Outcome otio = Run("export 'bad\xff/demo.mpj' x.otio");
  EXPECT_EQ(otio.exitCode, 0);
  EXPECT_NE(otio.err.find("were written as U+FFFD"), std::string::npos) << otio.err;
  fs::remove(Path("x.otio"));
  for (const char* rate : {"1", "frame"})
    ExpectRefused(std::string("export demo.mpj x.otio --timecode ") + rate,
                  "an export needs a rate");
}

}  // namespace
