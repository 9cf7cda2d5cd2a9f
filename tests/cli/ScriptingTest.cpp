// tests/cli/ScriptingTest.cpp - pexol-cli in scripts: JSON, --quiet, refusals that name the
// problem and write nothing, and the manual and completions made from the command line
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <nlohmann/json.hpp>

#include "support/CliRun.h"
#include "support/JapaneseArchive.h"
#include "support/TempFolder.h"
#include "tools/builder/ProjectBuilder.h"

namespace {

namespace fs = std::filesystem;

using Outcome = pexol::test::CliOutcome;
using nlohmann::json;

class ScriptingTest : public testing::Test {
 protected:
  void SetUp() override {
    Write("demo.mpj", pexol::build::BuildProject(pexol::build::DemoProject()));
  }

  std::string Path(const std::string& name) const { return temp.Path(name); }
  void Write(const std::string& name, const std::string& bytes) const { temp.Write(name, bytes); }
  std::string Read(const std::string& name) const { return temp.Read(name); }
  Outcome Run(const std::string& arguments) const {
    return pexol::test::RunCli(PEXOL_CLI, temp, arguments);
  }
  // Every name in the folder, to show that a refused run wrote nothing.
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(temp.Folder()))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  // A refused run: status 2, `message` on standard error, nothing on standard output, no file.
  void ExpectRefused(const std::string& arguments, const std::string& message) const {
    const std::vector<std::string> before = Names();
    const Outcome outcome = Run(arguments);
    EXPECT_EQ(outcome.exitCode, 2) << arguments;
    EXPECT_NE(outcome.err.find(message), std::string::npos) << arguments << "\n" << outcome.err;
    EXPECT_EQ(outcome.out, "") << arguments;
    EXPECT_EQ(Names(), before) << arguments;
  }

  pexol::test::TempFolder temp;
};

TEST_F(ScriptingTest, AnEmptyDestinationIsRefusedAsEveryBadDestinationIs) {
  const std::string empty = "\n\n\"\"\nthe file name is empty: name the file to write.";
  ExpectRefused("to-text demo.mpj ''", "Can not open txt destination file" + empty);
  ExpectRefused("export demo.mpj '' --format otio", "Can not export the timeline" + empty);
  ExpectRefused("relink demo.mpj '' --map a=b", "Can not open mpj destination file" + empty);
  ExpectRefused("check demo.mpj --report ''", "Can not open txt destination file" + empty);
  ASSERT_EQ(Run("to-text demo.mpj demo.txt").exitCode, 0);
  ExpectRefused("to-project demo.mpj demo.txt ''", "Can not open mpj destination file" + empty);
  ExpectRefused("picture demo.mpj ''", "Can not draw the timeline" + empty);
}

// Photos, videos and exported documents given as the project are named for what they are,
// before a record is read from them; the real projects are read as ever.
TEST_F(ScriptingTest, AFileThatIsNoProjectIsSaidToBeWhatItLooksLike) {
  Write("photo.mpj", std::string("\xFF\xD8\xFF\xE0\x00\x10JFIF\x00\x01\x01\x00\x00\x01\x00\x01"
                                 "\x00\x00\xFF\xD9",
                                 22));
  Write("clip.mp4", std::string("\x00\x00\x00\x18"
                                "ftypmp42\x00\x00\x00\x00mp42isom"
                                "\x00\x00\x00\x08"
                                "free",
                                32));
  ASSERT_EQ(Run("export demo.mpj demo.mlt").exitCode, 0);
  const std::string notAProject =
      "this is not a project of \"Corvane, Brisko\" or \"Lumetta\"; it looks like ";
  ExpectRefused("to-text photo.mpj out.txt", "\"photo.mpj\": " + notAProject + "JPEG image data");
  ExpectRefused("check clip.mp4 --list", "\"clip.mp4\": " + notAProject + "ISO Media");
  ExpectRefused("export demo.mlt out.otio", "\"demo.mlt\": " + notAProject + "XML");
  EXPECT_EQ(Run("to-text " PEXOL_SOURCE_DIR "/examples/demo.mpj out.txt").exitCode, 0);
  // A damaged project is still told by its records.
  Write("cut.mpj", Read("demo.mpj").substr(0, 300));
  EXPECT_NE(Run("to-text cut.mpj out2.txt").err.find("ends too early"), std::string::npos);
}

TEST_F(ScriptingTest, ControlBytesQuotedFromAnEditedLineAreShownEscaped) {
  ASSERT_EQ(Run("to-text demo.mpj demo.txt").exitCode, 0);
  std::string text = Read("demo.txt");
  // The first main clip's in point, made a word with a NUL and an escape in it.
  const std::size_t line = text.find("\r\n", text.find("[MainAV]")) + 2;
  const std::size_t field = text.find(',', line) + 1;
  text.replace(field, text.find(',', field) - field, std::string("1\x00\x1B[2J", 6));
  Write("bad.txt", text);
  const Outcome outcome = Run("to-project demo.mpj bad.txt new.mpj");
  EXPECT_EQ(outcome.exitCode, 2);
  EXPECT_NE(outcome.err.find("1\\x00\\x1B[2J"), std::string::npos) << outcome.err;
  EXPECT_EQ(outcome.err.find('\x1B'), std::string::npos);
  EXPECT_EQ(outcome.err.find('\0'), std::string::npos);
  EXPECT_FALSE(fs::exists(Path("new.mpj")));
}

TEST_F(ScriptingTest, EditsAfterEndAreWarnedOfAndAReformattedEdlIsNot) {
  ASSERT_EQ(Run("to-text demo.mpj demo.txt --timecode pal --csv").exitCode, 0);
  std::string text = Read("demo.txt");
  // An editor that saves LF line ends changes no EDL.
  std::string unix;
  for (const char c : text)
    if (c != '\r') unix += c;
  Write("lf.txt", unix);
  const Outcome same = Run("to-project demo.mpj lf.txt same.mpj");
  EXPECT_EQ(same.exitCode, 0) << same.err;
  EXPECT_EQ(same.err.find("[END]"), std::string::npos) << same.err;
  EXPECT_EQ(Read("same.mpj"), Read("demo.mpj"));
  text.replace(text.find("intro.avi", text.find("[END]")), 5, "INTRO");
  Write("edited.txt", text);
  const Outcome edited = Run("to-project demo.mpj edited.txt new.mpj");
  EXPECT_EQ(edited.exitCode, 0) << edited.err;
  EXPECT_NE(edited.err.find("warning: the lines after [END] are not the project's EDL: the EDL "
                            "is written from the project and never read back"),
            std::string::npos)
      << edited.err;
  EXPECT_EQ(Read("new.mpj"), Read("demo.mpj"));
}

TEST_F(ScriptingTest, MistypedCommandsAndMissingMapFoldersAreToldOf) {
  ExpectRefused("totext demo.mpj a.txt",
                "there is no command \"totext\". Did you mean \"to-text\"?");
  ExpectRefused("chek demo.mpj", "Did you mean \"check\"?");
  const Outcome far = Run("frobnicate demo.mpj");
  EXPECT_EQ(far.exitCode, 2);
  EXPECT_EQ(far.err.find("Did you mean"), std::string::npos) << far.err;
  // A mistyped option: the nearest of that command's, before what else the parse missed.
  ExpectRefused("check demo.mpj --serach clips",
                "pexol-cli: there is no option \"--serach\" for check. Did you mean \"--search\"?\n"
                "Run 'pexol-cli check --help' for its options.");
  ExpectRefused("export demo.mpj t.otio --fromat=otio", "Did you mean \"--format\"?");
  ExpectRefused("relink demo.mpj t.mpj --mpa 'a=b'", "Did you mean \"--map\"?");
  const Outcome farOption = Run("check demo.mpj --frobnicate");
  EXPECT_EQ(farOption.exitCode, 2);
  EXPECT_NE(farOption.err.find("there is no option \"--frobnicate\""), std::string::npos);
  EXPECT_EQ(farOption.err.find("Did you mean"), std::string::npos) << farOption.err;
  const Outcome map = Run("check demo.mpj --map 'C:\\Video=no-such-folder'");
  EXPECT_NE(map.err.find("warning: cannot find the map folder " + Path("no-such-folder")),
            std::string::npos)
      << map.err;
}

TEST_F(ScriptingTest, CheckJsonListsEveryReferenceWithItsStoredBytes) {
  fs::create_directories(Path("clips"));
  Write("clips/intro.avi", "x");
  // 運動 in Shift-JIS, one byte of it printable ASCII.
  pexol::build::Project project = pexol::build::DemoProject();
  project.main[3].name = "clips/\x89\x5E\x93\xAE.avi";
  Write("demo.mpj", pexol::build::BuildProject(project));
  const Outcome outcome = Run("check demo.mpj --json");
  EXPECT_EQ(outcome.exitCode, 1);
  const json document = json::parse(outcome.out);
  EXPECT_EQ(document["command"], "check");
  EXPECT_EQ(document["status"], "completed");
  const json& references = document["references"];
  ASSERT_GT(references.size(), 3u);
  EXPECT_EQ(references[0]["status"], "found");
  EXPECT_EQ(references[0]["stored"], "clips/intro.avi");
  EXPECT_EQ(references[0]["path"], Path("clips/intro.avi"));
  // A name beyond ASCII: its bytes escaped, its UTF-8 reading beside them.
  EXPECT_EQ(references[3]["stored"], "clips/\\x89^\\x93\\xAE.avi");
  EXPECT_EQ(references[3]["name"], "clips/運動.avi");
  EXPECT_EQ(references[3]["status"], "missing");
  int missing = 0;
  for (const json& reference : references) missing += reference["status"] == "missing";
  EXPECT_EQ(document["counts"]["missing"], missing);
  EXPECT_EQ(document["counts"]["references"], references.size());
  EXPECT_EQ(document["counts"]["undetected"], missing);
  // Two writers of standard output do not mix.
  ExpectRefused("check demo.mpj --json --list", "--json");
}

// The bytes an escaped "stored" or "...Bytes" field stands for.
std::string Unescaped(const std::string& text) {
  std::string bytes;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      bytes += text[i];
    } else if (text[i + 1] == '\\') {
      bytes += text[++i];
    } else {
      bytes += static_cast<char>(std::stoi(text.substr(i + 2, 2), nullptr, 16));
      i += 3;
    }
  }
  return bytes;
}

// check --list in the archive a Japanese user keeps: one line per reference, whatever the name
// holds. A path under a folder named in Shift-JIS shows decoded, a name holding CR, LF and a tab
// shows quoted and escaped as the text exchange file writes it, the words for people are in the
// reader's language beside the first column's keywords, and --json gives the bytes of the name
// and of the path back.
TEST_F(ScriptingTest, CheckListKeepsOneLinePerNameAndJsonKeepsTheBytes) {
  namespace sjis = pexol::test::sjis;
  namespace utf8 = pexol::test::utf8;
  const pexol::test::JapaneseArchive archive = pexol::test::MakeJapaneseArchive(Path("archive"));
  ASSERT_FALSE(HasFailure());
  const std::string odd = "D:\\Video\\" + sjis::shashin + "\\line\r\nbreak\ttab.avi";
  pexol::build::Project project;
  project.main = {{"D:\\Video\\" + sjis::undokai + "\\intro.avi", 0, 29, 0, "", 0x8000, 0x8000, {}},
                  {odd, 0, 29, 0, "", 0x8000, 0x8000, {}}};
  Write("odd.mpj", pexol::build::BuildProject(project));
  const std::string map = " --map '" + archive.map + "'";
  const std::string video = Path("archive/Video/");
  const std::string intro = video + utf8::undokai + "/intro.avi";

  const Outcome list = pexol::test::RunCli(PEXOL_CLI, temp, "check odd.mpj --list" + map,
                                           "env -u LANGUAGE -u LC_ALL -u LC_MESSAGES "
                                           "LANG=ja_JP.UTF-8");
  EXPECT_EQ(list.exitCode, 1) << list.err;
  EXPECT_EQ(std::count(list.out.begin(), list.out.end(), '\n'), 3) << list.out;
  EXPECT_TRUE(list.out.starts_with("found\tD:\\Video\\" + utf8::undokai + "\\intro.avi\t" + intro +
                                   "\n"
                                   "missing\t\"D:\\\\Video\\\\" +
                                   utf8::shashin +
                                   "\\\\line\\r\\nbreak\\ttab.avi\"\t最後に試したパス: \"" + video +
                                   utf8::shashin +
                                   "/line\\r\\nbreak\\ttab.avi\"\n"
                                   "media\t" +
                                   intro + "\t"))
      << list.out;
  const std::string media = list.out.substr(list.out.rfind("media\t"));
  EXPECT_EQ(std::count(media.begin(), media.end(), '\t'), 3) << media;
  for (const char* english : {"not:", "not known:", "with a plug-in:"})
    EXPECT_EQ(media.find(english), std::string::npos) << media;

  const Outcome run = Run("check odd.mpj --json" + map);
  const json document = json::parse(run.out);
  const json& references = document["references"];
  ASSERT_EQ(references.size(), 2u) << run.out;
  EXPECT_EQ(references[0]["path"], intro);
  EXPECT_EQ(Unescaped(references[0]["pathBytes"]), archive.media[0].string());
  EXPECT_EQ(Unescaped(references[1]["stored"]), odd);
  EXPECT_EQ(references[1]["name"], "D:\\Video\\" + utf8::shashin + "\\line\r\nbreak\ttab.avi");
  EXPECT_EQ(references[1]["lastTried"], video + utf8::shashin + "/line\r\nbreak\ttab.avi");
  EXPECT_FALSE(references[1].contains("lastTriedBytes"));  // a decoded name is UTF-8
}

TEST_F(ScriptingTest, ExportAndRelinkJsonAndQuietRuns) {
  json exported = json::parse(Run("export demo.mpj t.otio --json").out);
  EXPECT_EQ(exported["completed"], true);
  EXPECT_EQ(exported["destination"], "t.otio");
  EXPECT_GT(exported["clips"].get<int>(), 3);
  EXPECT_TRUE(exported["warnings"].is_array());
  const Outcome failed = Run("export missing.mpj t2.otio --json");
  EXPECT_EQ(failed.exitCode, 2);
  EXPECT_EQ(json::parse(failed.out)["status"], "failed");
  EXPECT_NE(failed.err.find("Can not open mpj source file"), std::string::npos);

  const json relinked = json::parse(
      Run("relink demo.mpj moved.mpj --map 'clips=C:\\ビデオ\\運動会2009\\素材' --dry-run --json")
          .out);
  EXPECT_EQ(relinked["dryRun"], true);
  EXPECT_TRUE(relinked["destination"].is_null());
  ASSERT_EQ(relinked["names"].size(), relinked["changes"].get<std::size_t>());
  EXPECT_EQ(relinked["names"][0]["before"], "clips/intro.avi");
  EXPECT_EQ(relinked["names"][0]["after"], "C:\\ビデオ\\運動会2009\\素材\\intro.avi");
  EXPECT_FALSE(fs::exists(Path("moved.mpj")));

  // --quiet: nothing but errors, on every command; a collect's summary is in its folder.
  for (const char* command :
       {"to-text demo.mpj q.txt --quiet", "to-project demo.mpj q.txt q.mpj -q", "check demo.mpj -q",
        "export demo.mpj q.otio -q", "picture demo.mpj q.svg -q",
        "relink demo.mpj q.mpj --map 'E:\\x=D:\\y' -q", "collect demo.mpj gathered -q"}) {
    const Outcome quiet = Run(command);
    EXPECT_EQ(quiet.out + quiet.err, "") << command;
  }
  EXPECT_NE(Read("gathered/collect-report.txt"), "");
  EXPECT_NE(Run("to-text missing.mpj q.txt --quiet").err, "");
}

// The manual and the completions are made from the command line's own definitions.
TEST(DocumentsTest, TheManualAndTheBashCompletionKnowEveryCommandAndValue) {
  const std::string documents = PEXOL_DOCUMENTS;
  ASSERT_TRUE(fs::exists(documents + "/pexol-cli.1.gz"));
  pexol::test::TempFolder folder;
  pexol::test::TempFolder scripts;
  // Runs `script` in bash in `folder`; what it printed.
  const auto shell = [&](const std::string& script) {
    scripts.Write("script.sh", script);
    return pexol::test::RunCli("/bin/bash", folder, "'" + scripts.Path("script.sh") + "'").out;
  };
  const std::string page = shell("zcat '" + documents + "/pexol-cli.1.gz'");
  for (const char* text : {".SS \"to\\-text\"", ".SS \"export\"", ".SS \"relink\"",
                           "\\fB\\-\\-json\\fR", "\\fB\\-\\-quiet\\fR", ".SH EXIT STATUS",
                           ".SH ENCODINGS", ".SH EXAMPLES", "\\fBotio\\fR", "\\fBntsc\\-drop\\fR"})
    EXPECT_NE(page.find(text), std::string::npos) << text;
  folder.Write("a.mpj", "");
  folder.Write("b.txt", "");
  std::filesystem::create_directories(folder.Path("sub"));
  // What bash offers for the words of a command line, the last one being completed, sorted.
  const auto complete = [&](const std::string& words) {
    return shell("source '" + documents + "/pexol-cli.bash'\nCOMP_WORDS=(pexol-cli " + words +
                 ")\nCOMP_CWORD=$((${#COMP_WORDS[@]} - 1))\n_pexol_cli\n"
                 "echo $(printf '%s\\n' \"${COMPREPLY[@]}\" | sort)\n");
  };
  EXPECT_EQ(complete("ex"), "export\n");
  EXPECT_EQ(complete("to-text a.mpj b.txt --software ''"), "auto brisko corvane lumetta\n");
  EXPECT_EQ(complete("export a.mpj x --format = ''"),
            "aaf cmx3600 fcp7 fcpxml kdenlive mlt otio\n");
  EXPECT_EQ(complete("to-text ''"), "a.mpj sub\n");
  EXPECT_EQ(complete("check a.mpj --search ''"), "sub\n");
  EXPECT_EQ(complete("check a.mpj --js"), "--json\n");
}

}  // namespace
