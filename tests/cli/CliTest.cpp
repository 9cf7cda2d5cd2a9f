// tests/cli/CliTest.cpp - pexol-cli as a script uses it: output streams and exit codes
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <filesystem>

#include "support/TempFolder.h"
#include "tools/builder/ProjectBuilder.h"

namespace {

namespace fs = std::filesystem;

struct Outcome {
  int exitCode;
  std::string out;
  std::string err;
};

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
    const std::string command = "cd '" + temp.Folder().string() + "' && '" PEXOL_CLI "' " +
                                arguments + " >stdout.log 2>stderr.log";
    const int status = std::system(command.c_str());
    Outcome outcome{WIFEXITED(status) ? WEXITSTATUS(status) : -1, Read("stdout.log"),
                    Read("stderr.log")};
    fs::remove(Path("stdout.log"));
    fs::remove(Path("stderr.log"));
    return outcome;
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
  EXPECT_NE(Run("--version").out.find("2.12"), std::string::npos);
}

}  // namespace
