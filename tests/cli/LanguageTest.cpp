// tests/cli/LanguageTest.cpp - pexol-cli in the language the environment asks for: Japanese
// help and messages under a Japanese locale, English byte for byte under C, and English data
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <regex>
#include <set>

#include "support/CliRun.h"
#include "support/PseudoLanguage.h"
#include "support/TempFolder.h"
#include "tools/builder/ProjectBuilder.h"

namespace {

using Outcome = pexol::test::CliOutcome;

// Every test of this program runs pexol-cli as under the C locale unless it names another:
// the messages the tests expect are the English ones, whatever the developer's locale.
const bool englishByDefault = [] {
  ::unsetenv("LANGUAGE");
  ::setenv("LC_MESSAGES", "C", 1);
  if (const char* all = std::getenv("LC_ALL"); all != nullptr && *all != '\0')
    ::setenv("LC_ALL", "C.UTF-8", 1);
  return true;
}();

constexpr const char* japanese = "env -u LANGUAGE -u LC_ALL -u LC_MESSAGES LANG=ja_JP.UTF-8";

class LanguageTest : public testing::Test {
 protected:
  void SetUp() override {
    temp.Write("demo.mpj", pexol::build::BuildProject(pexol::build::DemoProject()));
  }
  Outcome Run(const std::string& arguments, const std::string& environment) const {
    return pexol::test::RunCli(PEXOL_CLI, temp, arguments, environment);
  }
  std::vector<std::string> Commands() const {
    // The commands as the help lists them: this build's, render and batch included where built.
    const std::string help = Run("--help", "LANG=C").out;
    std::vector<std::string> commands;
    const std::regex line(R"(\n  ([a-z-]+) {2,})");
    for (auto match = std::sregex_iterator(help.begin(), help.end(), line);
         match != std::sregex_iterator(); ++match)
      if (!(*match)[1].str().starts_with('-')) commands.push_back((*match)[1]);
    return commands;
  }

  pexol::test::TempFolder temp;
};

// The English words a Japanese help may keep: names, formats, option values and the words of
// lines a script reads (check --list).
const std::set<std::string> kept = {"Avid",
                                    "C",
                                    "Composer",
                                    "Corvane",
                                    "Brisko",
                                    "Lumetta",
                                    "Ctrl",
                                    "slurm",  // --plan=slurm's value
                                    "Cut",
                                    "DNxHR",
                                    "Final",
                                    "Kdenlive",
                                    "Matroska",
                                    "Media",
                                    "Premiere",
                                    "Pro",
                                    "ProRes",
                                    "QuickTime",
                                    "Resolve",
                                    "Shift",
                                    "Shotcut",
                                    "Slurm",
                                    "Tools",
                                    "Windows",
                                    "OpenTimelineIO",
                                    "WIDTHxHEIGHT",
                                    "N",
                                    "P",
                                    "x",
                                    "a",
                                    "h",
                                    "m",
                                    "p",
                                    "ff",
                                    "hh",
                                    "mm",
                                    "ss",
                                    "ambiguous",
                                    "found",
                                    "missing",
                                    "argv",
                                    "auto",
                                    "brisko",
                                    "corvane",
                                    "lumetta",
                                    "black",
                                    "fail",
                                    "copy",
                                    "dnxhr",
                                    "prores",
                                    "png",
                                    "lines",
                                    "none",
                                    "json",
                                    "frame",
                                    "ntsc",
                                    "drop",
                                    "nondrop",
                                    "pal",
                                    "sd",
                                    "shift",
                                    "jis",
                                    "utf",
                                    "nul",
                                    "parallel",
                                    "xargs",
                                    "aaf",
                                    "cmx",
                                    "fcp",
                                    "fcpxml",
                                    "otio",
                                    "mlt",
                                    "kdenlive",
                                    "edl",
                                    "xml",
                                    "mov",
                                    "mkv",
                                    "mp",
                                    "wav",
                                    "flac",
                                    "check",
                                    "collect",
                                    "export",
                                    "join",
                                    "picture",
                                    "relink",
                                    "render",
                                    "batch",
                                    "pexol",
                                    "cli"};

// The English words left in `help`, past the examples, option names, metavariables (SOURCE),
// file names, quoted rules and the render's kinds of file, which its library names.
std::set<std::string> EnglishWordsIn(std::string help) {
  help = std::regex_replace(help, std::regex(R"(\n {2,}pexol-cli [^\n]*|\n {4}(?! )[^\n]*)"), "\n");
  help = std::regex_replace(help, std::regex(R"(\n +)"), " ");
  for (const char* pattern :
       {R"(\bto-(text|project)\b)", R"(\.(wav|flac|m4a|mp3|mp4|mkv|mov) \([^)]*\))", R"('[^']*')",
        R"(--?[a-z][a-z0-9-]*)", R"(\b[A-Z][A-Z0-9_]+\b)", R"([\w./<>*~-]*\.[a-z0-9]+\b)",
        R"([\w.~\\]*[/\\][\w./\\]*)", R"(\bH\.264\b|\bh264\b|\d+\w*)"})
    help = std::regex_replace(help, std::regex(pattern), " ");
  std::set<std::string> words;
  const std::regex word("[A-Za-z]+");
  for (auto match = std::sregex_iterator(help.begin(), help.end(), word);
       match != std::sregex_iterator(); ++match)
    if (!kept.contains(match->str())) words.insert(match->str());
  return words;
}

TEST_F(LanguageTest, HelpOfEveryCommandIsJapaneseUnderAJapaneseLocale) {
  const std::vector<std::string> commands = Commands();
  ASSERT_GE(commands.size(), 8u);
  for (std::string command : commands) {
    const Outcome help = Run(command + " --help", japanese);
    ASSERT_EQ(help.exitCode, 0) << command;
    EXPECT_NE(help.out.find("使い方: pexol-cli " + command + " [オプション]"), std::string::npos)
        << help.out;
    std::string left;
    for (const std::string& word : EnglishWordsIn(help.out)) left += word + " ";
    EXPECT_EQ(left, "") << command << ":\n" << help.out;
  }
  const Outcome main = Run("--help", japanese);
  EXPECT_NE(main.out.find("コマンド:\n  to-text "), std::string::npos) << main.out;
  std::string left;
  for (const std::string& word : EnglishWordsIn(main.out)) left += word + " ";
  EXPECT_EQ(left, "") << main.out;
  // Wrapped by columns, a Japanese character taking two.
  for (std::size_t at = 0, end; at < main.out.size(); at = end + 1) {
    end = main.out.find('\n', at);
    if (end == std::string::npos) end = main.out.size();
    const std::string line = main.out.substr(at, end - at);
    if (line.starts_with("  --")) {
      EXPECT_LE(line.size(), 34u + 45u * 3u / 2u) << line;
    }
  }
}

// A mistake the command line itself finds, and one CLI11 finds, in Japanese; the same runs in
// English under C exactly as before.
TEST_F(LanguageTest, FailingRunsSayWhyInTheLocalesLanguage) {
  Outcome outcome = Run("totext demo.mpj", japanese);
  EXPECT_EQ(outcome.exitCode, 2);
  EXPECT_EQ(outcome.err,
            "pexol-cli: 「totext」というコマンドはありません。「to-text」のことですか？\n"
            "コマンドの一覧は 'pexol-cli --help' で表示できます。\n");
  outcome = Run("to-text demo.mpj", japanese);
  EXPECT_EQ(outcome.exitCode, 2);
  EXPECT_EQ(outcome.err, "DEST を指定してください\n詳しくは --help で表示できます。\n");
  outcome = Run("to-text demo.mpj t.txt --software x", japanese);
  EXPECT_NE(outcome.err.find("「x」は指定できません。auto, brisko, corvane または lumetta"),
            std::string::npos)
      << outcome.err;

  outcome = Run("totext demo.mpj", "LANG=C");
  EXPECT_EQ(outcome.err,
            "pexol-cli: there is no command \"totext\". Did you mean \"to-text\"?\n"
            "Run 'pexol-cli --help' for the commands.\n");
  outcome = Run("to-text demo.mpj", "LANG=C");
  EXPECT_EQ(outcome.err, "DEST is required\nRun with --help for more information.\n");
  outcome = Run("to-text demo.mpj t.txt --software x", "LANG=C");
  EXPECT_EQ(outcome.err,
            "--software: Check x value in {auto->-1,brisko->0,corvane->0,lumetta->1} OR "
            "{-1,0,0,1} FAILED\nRun with --help for more information.\n");
  // A run that succeeds says so in Japanese too.
  outcome = Run("to-text demo.mpj t.txt", japanese);
  EXPECT_EQ(outcome.exitCode, 0) << outcome.err;
  EXPECT_NE(outcome.err.find("ソフトウェア: 「Corvane, Brisko」(自動選択)"), std::string::npos)
      << outcome.err;
}

// An export says what its format keeps differently in the locale's language, the names quoted
// as Japanese quotes them; its --json keeps the English sentences, as it keeps every message.
TEST_F(LanguageTest, AnExportsNotesAreInTheLocalesLanguageAndItsJsonInEnglish) {
  const Outcome run = Run("export demo.mpj demo.aaf", japanese);
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(
      run.out.find("AAF (Media Composer, Pro Tools) で異なる形で保持するもの、保持できないもの:\n"
                   "- カラークリップは黒になります: この形式には、編集ソフトに共通のカラー"
                   "クリップがありません。\n  クリップ 2 個: "),
      std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("00:00:16;20 「Colour #0000FF」, 00:00:44;00 「Colour #FF0000」\n"),
            std::string::npos)
      << run.out;
  const Outcome json = Run("export demo.mpj demo.aaf --json", japanese);
  EXPECT_NE(json.out.find("\"sentence\": \"Colour clips are black: the format has no colour clip "
                          "its editors share.\""),
            std::string::npos)
      << json.out;
}

// Without a language, under C and under English the help is the same bytes; --json and a
// batch's job speak English whatever the locale, since what they print is recorded.
TEST_F(LanguageTest, EnglishIsTheSameEverywhereAndDataStaysEnglish) {
  const std::string none = Run("--help", "env -u LANG -u LC_ALL -u LC_MESSAGES").out;
  EXPECT_EQ(Run("--help", "LANG=C").out, none);
  EXPECT_EQ(Run("--help", "LANG=en_GB.UTF-8").out, none);
  EXPECT_EQ(Run("check --help", "LANG=C").out,
            Run("check --help", "env -u LANG -u LC_ALL -u LC_MESSAGES").out);
  EXPECT_NE(none.find("Usage: pexol-cli [OPTIONS] SUBCOMMAND\n"), std::string::npos);
  EXPECT_NE(none.find("\nExit status: 0 success, 1 media missing (check), 2 any failure.\n"),
            std::string::npos);

  const Outcome json = Run("check absent.mpj --json", japanese);
  EXPECT_EQ(json.exitCode, 2);
  EXPECT_EQ(json.out, Run("check absent.mpj --json", "LANG=C").out);
  for (const char c : json.out + json.err) EXPECT_GE(c, 0) << json.out << json.err;
  const Outcome parse = Run("check --json", japanese);
  EXPECT_EQ(parse.err, "SOURCE is required\nRun with --help for more information.\n");
}

// The pseudo-language brackets every text of the catalogue and accents its vowels.
constexpr const char* pseudo = "env -u LC_ALL -u LC_MESSAGES LANG=en_US.UTF-8 LANGUAGE=en@pseudo";

// Every help and the failures a user meets first, under the pseudo-language: nothing but its
// texts, names, option values and the words of lines a script reads.
TEST_F(LanguageTest, UnderThePseudoLanguageEveryTextComesFromTheCatalogue) {
  temp.Write("picture.mpj", "\x89PNG\r\n\x1a\n not a project");
  std::vector<std::string> runs = {"--help",
                                   "totext demo.mpj",
                                   "to-text demo.mpj",
                                   "to-text demo.mpj t.txt --software x",
                                   "to-text absent.mpj t.txt",
                                   "check picture.mpj",
                                   "check demo.mpj",
                                   "check demo.mpj --list",
                                   "export demo.mpj out.unknown",
                                   "export demo.mpj x.otio --jobs 2",
                                   "relink demo.mpj r.mpj --map nothing",
                                   "collect absent.mpj gathered",
                                   "picture demo.mpj p.svg --scale 0"};
  for (const std::string& command : Commands()) runs.push_back(command + " --help");
  for (const std::string& run : runs) {
    const Outcome outcome = Run(run, pseudo);
    std::string left;
    for (const std::string& word :
         EnglishWordsIn(pexol::test::OutsideTheCatalogue(outcome.out + outcome.err)))
      left += word + " ";
    EXPECT_EQ(left, "") << run << ":\n" << outcome.out << outcome.err;
  }
  // The pseudo-language is there: a help is its text.
  EXPECT_NE(Run("--help", pseudo).out.find("\xe2\x9f\xa6"), std::string::npos);
}

}  // namespace
