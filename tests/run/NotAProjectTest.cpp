// tests/run/NotAProjectTest.cpp - a file is read as a project only when it may be one: no
// project carries another kind's signature, a file that does is refused before any record is
// read, and one that reads as a short project warns of what it left unread
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "core/FileSignatures.h"
#include "run/RunConversions.h"
#include "support/Conversions.h"
#include "support/TempFolder.h"
#include "tools/builder/ProjectBuilder.h"

namespace pexol {
namespace {

namespace fs = std::filesystem;

std::optional<std::string_view> CertainKind(std::string_view bytes) {
  const auto kind = KindBySignature(test::AsBytes(bytes));
  return kind && kind->certain ? std::optional(kind->words) : std::nullopt;
}

// The project bytes of every kept fuzz input whose target reads a project: what follows the
// choice byte, or relink's rules and their NUL.
std::vector<std::pair<fs::path, std::string>> KeptProjects() {
  std::vector<std::pair<fs::path, std::string>> projects;
  const fs::path source(PEXOL_SOURCE_DIR);
  for (const char* target :
       {"project-to-text", "source-to-project", "media-check", "relink", "export", "picture"})
    for (const fs::path& folder :
         {source / "fuzz/corpus" / target, source / "tests/regressions" / target}) {
      if (!fs::is_directory(folder)) continue;
      for (const auto& entry : fs::directory_iterator(folder)) {
        std::ifstream in(entry.path(), std::ios::binary);
        std::string bytes{std::istreambuf_iterator<char>(in), {}};
        std::size_t start = bytes.empty() ? 0 : 1;
        if (std::string_view(target) == "relink") start = bytes.find('\0', start) + 1;
        if (start != 0 && start <= bytes.size())
          projects.emplace_back(entry.path(), bytes.substr(start));
      }
    }
  return projects;
}

TEST(NotAProjectTest, NoProjectCarriesTheSignatureOfAnotherKind) {
  std::vector<std::pair<std::string, std::string>> projects = {
      {"demo", build::BuildProject(build::DemoProject())},
      {"large", build::BuildProject(build::LargeProject())},
      {"empty", build::BuildProject(build::Project{})}};
  for (const std::uint16_t version : {0x1FF, 0x200, 0x205, 0x206, 0x207, 0x20A})
    for (const build::Software software :
         {build::Software::CorvaneBrisko, build::Software::Lumetta})
      for (std::uint32_t seed = 0; seed < 60; ++seed)
        projects.emplace_back("random " + std::to_string(seed) + " of " + std::to_string(version),
                              build::BuildProject(build::RandomProject(seed, version, software)));
  const auto kept = KeptProjects();
  ASSERT_GE(kept.size(), 20u);
  for (const auto& [path, bytes] : kept) projects.emplace_back(path.string(), bytes);
  for (const auto& [name, bytes] : projects)
    EXPECT_EQ(CertainKind(bytes), std::nullopt) << name << " taken for " << *CertainKind(bytes);
}

class NotAProjectRunTest : public testing::Test {
 protected:
  RunResult ToText(const std::string& source) {
    temp.Write("out.txt", "precious");
    return RunProjectToText({temp.Path(source), temp.Path("out.txt"), {}}, observer);
  }

  test::TempFolder temp;
  test::RecordingObserver observer;
  const std::string demo = build::BuildProject(build::DemoProject());
};

// Headers that read as a project's: a Photoshop file's counts are 256 bin items and no clip, a
// PICT's 512 bytes for its application are zeros. Each is refused for what it is, as a JPEG
// always was, and the destination is left as it was.
TEST_F(NotAProjectRunTest, AnImageWhoseHeaderMayBeAProjectsIsRefusedBeforeAnyRecordIsRead) {
  using namespace std::string_literals;
  std::string photoshop =
      "8BPS\x00\x01\x00\x00\x00\x00\x00\x00\x00\x03\x00\x00\x00\xF0\x00\x00"
      "\x01\x40\x00\x08\x00\x03"s;
  photoshop += std::string(2000, '\x11');
  std::string pict(512, '\0');
  pict += "\x08\x00\x00\x00\x00\x00\x00\xF0\x01\x40\x00\x11\x02\xFF\x0C\x00\xFF\xFE"s;
  pict += std::string(2000, '\0');
  // A true-colour Targa starts with no signature; its footer names it.
  std::string targa = "\x00\x00\x02\x00\x00\x00\x00\x00\x00\x00\x00\x00\x40\x00\x30\x00\x18\x20"s;
  targa += std::string(64 * 48 * 3, '\x7F');
  targa += "\0\0\0\0\0\0\0\0TRUEVISION-XFILE.\0"s;
  const std::pair<std::string, const char*> files[] = {
      {photoshop, "Adobe Photoshop Image"},
      {pict, "PICT"},
      {targa, "Targa image data"},
      {targa.substr(0, targa.size() - 26), "Targa image data"}};
  for (const auto& [bytes, words] : files) {
    temp.Write("image.mpj", bytes);
    const RunResult result = ToText("image.mpj");
    EXPECT_FALSE(result.Completed()) << words;
    EXPECT_NE(result.message.find("\"" + temp.Path("image.mpj") +
                                  "\": this is not a project of \"Corvane, Brisko\" or "
                                  "\"Lumetta\"; it looks like "),
              std::string::npos)
        << result.message;
    EXPECT_NE(result.message.find(words), std::string::npos) << result.message;
    EXPECT_EQ(temp.Read("out.txt"), "precious");
    // No record was read: no section's status line was shown.
    EXPECT_TRUE(observer.statuses.empty()) << observer.statuses.front();
  }
}

TEST_F(NotAProjectRunTest, AProjectThatLeavesMostOfItsFileUnreadWarnsOfWhatItLeft) {
  using namespace std::string_literals;
  std::string binary;
  std::uint32_t state = 12345;
  for (int i = 0; i < 20000; ++i) {
    state = state * 1103515245u + 12345u;
    binary += static_cast<char>(state >> 24);
  }
  std::string text;
  // 運動会のビデオ, a line of Shift-JIS text, as a note pasted after a project.
  while (text.size() < 20000)
    text += "\x89\x5e\x93\xae\x89\xef\x82\xcc\x83\x72\x83\x66\x83\x49\r\n"s;
  const std::string png =
      "\x89PNG\r\n\x1A\n\x00\x00\x00\x0DIHDR\x00\x00\x00\x10\x00\x00\x00\x10"
      "\x08\x02\x00\x00\x00\x90\x91\x68\x36"s +
      std::string(20000, '\0');
  const std::pair<std::string, std::string> tails[] = {{std::string(65536, '\0'), "all zeros"},
                                                       {text, "text"},
                                                       {png, "look like PNG image data"},
                                                       {binary, "binary data of no known kind"}};
  for (const auto& [tail, look] : tails) {
    temp.Write("tail.mpj", demo + tail);
    const RunResult result = ToText("tail.mpj");
    ASSERT_TRUE(result.Completed()) << result.message;
    ASSERT_EQ(result.warnings.size(), 1u) << look;
    const std::string& warning = result.warnings.front();
    EXPECT_TRUE(warning.starts_with(std::to_string(tail.size()) + " of the file's " +
                                    std::to_string(demo.size() + tail.size()) +
                                    " bytes lie after the end of the project and were not read"))
        << warning;
    EXPECT_NE(warning.find(look), std::string::npos) << warning;
    // Said once: the completion message does not count them again.
    EXPECT_EQ(result.message.find("were left unread"), std::string::npos) << result.message;
    EXPECT_EQ(temp.Read("out.txt"), test::ConvertToText(demo, Software::CorvaneBrisko));
  }
  // Padding a real project may carry, a few kilobytes or less than half its file, is only
  // noted.
  const std::string large = build::BuildProject(build::LargeProject());
  for (const auto& [project, bytes] :
       {std::pair{demo, std::size_t{4096}}, std::pair{large, large.size() - 1}}) {
    temp.Write("padded.mpj", project + std::string(bytes, '\0'));
    const RunResult result = ToText("padded.mpj");
    ASSERT_TRUE(result.Completed()) << result.message;
    EXPECT_TRUE(result.warnings.empty()) << result.warnings.front();
    EXPECT_NE(result.message.find(std::to_string(bytes) +
                                  " bytes after the end of the project were left unread."),
              std::string::npos)
        << result.message;
  }
}

}  // namespace
}  // namespace pexol
