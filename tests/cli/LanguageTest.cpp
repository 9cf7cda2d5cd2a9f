// tests/cli/LanguageTest.cpp - pexol-cli in the language the environment asks for: Japanese
// help and messages under a Japanese locale, English byte for byte under C, and English data
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
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

// A count of 0, 1 and 2 reads right in English and in Japanese wherever a command shows one:
// the check's own words (English as they have always been), a relink's names changed, a
// collect's files and bytes, an export's clips.
TEST_F(LanguageTest, CountsOfNoneOneAndTwoReadRightInBothLanguages) {
  struct Shown {
    std::string run;
    int count;
    std::vector<std::string> english, japanese;
  };
  const std::vector<Shown> table = {
      {"check p0.mpj", 0, {"\n0 file undetected"}, {"見つからないファイルは 0 個です"}},
      {"check p1.mpj", 1, {"\n1 file undetected\n"}, {"見つからないファイルが 1 個あります"}},
      {"check p2.mpj", 2, {"\n2 files undetected\n"}, {"見つからないファイルが 2 個あります"}},
      {"relink p0.mpj r.mpj --map 'C:\\old=D:\\new' --dry-run",
       0,
       {"\n0 media names would change; nothing written"},
       {"素材の名前が 0 個変わります"}},
      {"relink p1.mpj r.mpj --map 'C:\\old=D:\\new' --dry-run",
       1,
       {"\n1 media name would change; nothing written"},
       {"素材の名前が 1 個変わります"}},
      {"relink p2.mpj r.mpj --map 'C:\\old=D:\\new' --dry-run",
       2,
       {"\n2 media names would change; nothing written"},
       {"素材の名前が 2 個変わります"}},
      {"collect p0.mpj g0 --map 'C:\\old=media'",
       0,
       {"Copied: 0 media files, 0 bytes, into media/", "Collected 0 media files (0 bytes)"},
       {"コピー: 素材ファイル 0 個、0 バイト、media/ へ", "素材ファイル 0 個 (0 バイト) と"}},
      {"collect p1.mpj g1 --map 'C:\\old=media'",
       1,
       {"Copied: 1 media file, 1 byte, into media/", "Collected 1 media file (1 byte)"},
       {"コピー: 素材ファイル 1 個、1 バイト、media/ へ", "素材ファイル 1 個 (1 バイト) と"}},
      {"collect p2.mpj g2 --map 'C:\\old=media'",
       2,
       {"Copied: 2 media files, 2 bytes, into media/", "Collected 2 media files (2 bytes)"},
       {"コピー: 素材ファイル 2 個、2 バイト、media/ へ", "素材ファイル 2 個 (2 バイト) と"}},
      {"export p1.mpj p1.otio", 1, {", 1 clip, "}, {"、クリップ 1、"}},
      {"export p2.mpj p2.otio", 2, {", 2 clips, "}, {"、クリップ 2、"}},
  };
  for (int clips = 0; clips <= 2; ++clips) {
    pexol::build::Project project;
    for (int i = 0; i < clips; ++i)
      project.main.push_back({"C:\\old\\m" + std::to_string(i) + ".avi", 0, 29, 0, "", 0, 0, {}});
    temp.Write("p" + std::to_string(clips) + ".mpj", pexol::build::BuildProject(project));
  }
  std::filesystem::create_directories(temp.Path("media"));
  temp.Write("media/m0.avi", "x");
  temp.Write("media/m1.avi", "y");
  for (const Shown& shown : table)
    for (const bool inJapanese : {false, true}) {
      // A collect's folder is made anew in each language.
      std::string run = shown.run;
      if (inJapanese && run.starts_with("collect")) run.replace(run.find(" g") + 2, 0, "ja");
      const Outcome outcome = Run(run, inJapanese ? japanese : "LANG=C");
      const std::string said = outcome.out + outcome.err;
      for (const std::string& text : inJapanese ? shown.japanese : shown.english)
        EXPECT_NE(said.find(text), std::string::npos)
            << run << " (" << shown.count << ", " << (inJapanese ? "ja" : "C") << ") lacks \""
            << text << "\":\n"
            << said;
    }
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
  temp.Write("bad.txt", "garbage\n");
  temp.Write("full.d/a", "a");
  std::vector<std::string> runs = {"--help",
                                   "to-project demo.mpj bad.txt out.mpj",
                                   "to-text bad.txt o.txt",
                                   "export demo.mpj x.mlt --timecode frame",
                                   "relink demo.mpj r.mpj --map 'C:\\=/nowhere'",
                                   "collect demo.mpj full.d",
                                   "picture demo.mpj p.bmp",
                                   "render demo.mpj out.xyz",
                                   "render demo.mpj out.mp4 --from 5:00 --to 1",
                                   "render demo.mpj out.mp4 --missing black --from 10 --to 5",
                                   "batch nothere --out o",
                                   "check full.d",
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

// CLI11's errors by their class, the option and value they concern taken from the parse: the
// same bytes in English as CLI11 writes them, whole sentences in Japanese, and nothing left
// English under the pseudo-language.
TEST_F(LanguageTest, CommandLineMistakesAreSaidByWhatTheyAre) {
  struct Mistake {
    std::string run, english, japanese;
  };
  const std::vector<Mistake> mistakes = {
      {"to-text demo.mpj", "DEST is required", "DEST を指定してください"},
      {"", "A subcommand is required", "コマンドを指定してください"},
      {"to-text demo.mpj t.txt b c", "The following arguments were not expected: c b",
       "次の引数は不要です: c b"},
      {"batch in --out out --missing black", "--missing requires --render",
       "--missing には --render が必要です"},
      {"check demo.mpj --map", "--map: 1 required TEXT missing",
       "--map: 値を指定してください (TEXT)"},
      {"picture demo.mpj p.svg --scale 0", "--scale: Value 0 not in range 0.001000 to 100.000000",
       "--scale: 0 は 0.001 から 100 までの数ではありません"},
      {"collect demo.mpj out --jobs 0", "--jobs: Value 0 not in range 0.000000 to ",
       "--jobs: 0 は 0 より大きい数ではありません"},
      {"export demo.mpj x.otio --timecode pal-drop", "--timecode: \"pal-drop\" is not one of",
       "--timecode: 「pal-drop」は"},
      {"render demo.mpj x.mp4 --plan=lsf",
       "--plan: give --plan alone or --plan=slurm, not --plan=lsf",
       "--plan: --plan は値なしか --plan=slurm で指定してください (--plan=lsf は使えません)"},
  };
  const std::string commands = Run("--help", "LANG=C").out;
  for (const Mistake& mistake : mistakes) {
    const std::string command = mistake.run.substr(0, mistake.run.find(' '));
    if (!command.empty() && commands.find("\n  " + command + " ") == std::string::npos)
      continue;  // a command this build leaves out
    const Outcome english = Run(mistake.run, "LANG=C");
    EXPECT_EQ(english.exitCode, 2) << mistake.run;
    EXPECT_EQ(english.err.find(mistake.english), 0u) << mistake.run << ":\n" << english.err;
    const Outcome translated = Run(mistake.run, japanese);
    EXPECT_EQ(translated.err.find(mistake.japanese), 0u) << mistake.run << ":\n" << translated.err;
    const Outcome pseudoRun = Run(mistake.run, pseudo);
    std::string left;
    for (const std::string& word : EnglishWordsIn(pexol::test::OutsideTheCatalogue(pseudoRun.err)))
      left += word + " ";
    EXPECT_EQ(left, "") << mistake.run << ":\n" << pseudoRun.err;
  }
}

}  // namespace
