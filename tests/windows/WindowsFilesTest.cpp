// tests/windows/WindowsFilesTest.cpp - pexol-cli.exe on Windows file names and destinations:
// Japanese names on a system whose code page is not Japanese, the null device, and a destination
// another program holds open
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "core/PlatformPath.h"
#include "support/TempFolder.h"
#include "tools/builder/ProjectBuilder.h"

namespace pexol {
namespace {

namespace fs = std::filesystem;

struct HandleClose {
  void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using UniqueHandle = std::unique_ptr<void, HandleClose>;

UniqueHandle Handle(HANDLE handle) {
  return UniqueHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}

fs::path CliPath() {
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  return (fs::path(self).parent_path() / fs::path(PEXOL_CLI_FROM_TESTS)).lexically_normal();
}

struct CliRun {
  DWORD exitCode = 0;
  std::string errors;  ///< what it wrote to standard error, UTF-8
};

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A folder of the test's own, reached only through wide names.
class WindowsFilesTest : public testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() / test::TestFolderName("pexol-windows-");
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    project_ = build::BuildProject(build::DemoProject());
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }

  void Write(const fs::path& name, const std::string& bytes) const {
    std::ofstream(folder_ / name, std::ios::binary) << bytes;
  }

  // Runs pexol-cli.exe in the folder with a wide command line, as Explorer or cmd.exe would.
  CliRun Cli(const std::wstring& arguments) const {
    const fs::path errorsPath = folder_.parent_path() / (folder_.filename().wstring() + L".err");
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    CliRun run;
    {
      UniqueHandle errors = Handle(CreateFileW(errorsPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                               &inherit, CREATE_ALWAYS, 0, nullptr));
      EXPECT_TRUE(errors);
      STARTUPINFOW startup{};
      startup.cb = sizeof startup;
      startup.dwFlags = STARTF_USESTDHANDLES;
      startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
      startup.hStdOutput = errors.get();
      startup.hStdError = errors.get();
      std::wstring commandLine = L"\"" + CliPath().wstring() + L"\" " + arguments;
      PROCESS_INFORMATION process{};
      if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                          folder_.c_str(), &startup, &process)) {
        ADD_FAILURE() << "cannot start " << CliPath().string();
        return run;
      }
      UniqueHandle thread(process.hThread), child(process.hProcess);
      WaitForSingleObject(child.get(), INFINITE);
      GetExitCodeProcess(child.get(), &run.exitCode);
    }
    run.errors = ReadFile(errorsPath);
    fs::remove(errorsPath);
    return run;
  }

  std::size_t FileCount() const {
    return static_cast<std::size_t>(
        std::distance(fs::directory_iterator(folder_), fs::directory_iterator()));
  }

  fs::path folder_;
  std::string project_;
};

TEST_F(WindowsFilesTest, JapaneseNamesWorkWhereTheCodePageIsNotJapanese) {
  // The ANSI code page cannot hold these names; only wide calls reach the files.
  ASSERT_NE(GetACP(), 932u);
  Write(L"プロジェクト.mpj", project_);

  const CliRun toText = Cli(L"to-text プロジェクト.mpj テキスト.txt");
  EXPECT_EQ(toText.exitCode, 0u) << toText.errors;
  const std::string text = ReadFile(folder_ / L"テキスト.txt");
  EXPECT_EQ(text.rfind("[Header]", 0), 0u);
  EXPECT_NE(toText.errors.find("プロジェクト.mpj"), std::string::npos) << toText.errors;

  // An absolute name under a Japanese folder, with either separator.
  fs::create_directory(folder_ / L"編集");
  const std::wstring back = (folder_ / L"編集").wstring() + L"/戻り.mpj";
  const CliRun toProject = Cli(L"to-project プロジェクト.mpj テキスト.txt \"" + back + L"\"");
  EXPECT_EQ(toProject.exitCode, 0u) << toProject.errors;
  EXPECT_EQ(ReadFile(folder_ / L"編集" / L"戻り.mpj"), project_);

  const CliRun check = Cli(L"check プロジェクト.mpj --report 報告.txt");
  EXPECT_EQ(check.exitCode, 1u) << check.errors;  // the demo's media are not here
  EXPECT_NE(ReadFile(folder_ / L"報告.txt").find("clips/intro.avi"), std::string::npos);
}

TEST_F(WindowsFilesTest, CollectCopiesTheMediaUnderJapaneseNamesAndTheMovedFolderFindsThem) {
  Write(L"demo.mpj", project_);
  fs::create_directories(folder_ / L"clips");
  fs::create_directories(folder_ / L"audio");
  for (const wchar_t* name :
       {L"clips/intro.avi", L"clips/sunset.jpg", L"clips/scene2.AVI", L"clips/outro.avi",
        L"clips/logo.png", L"clips/overlay.avi", L"audio/bgm.wav", L"audio/voice.wav"})
    Write(name, std::string(5000, 'm'));
  const CliRun collect = Cli(L"collect demo.mpj 集め --format otio");
  EXPECT_EQ(collect.exitCode, 1u) << collect.errors;  // audio/effect.wav is not there
  EXPECT_EQ(ReadFile(folder_ / L"集め" / L"media" / L"clips" / L"intro.avi"),
            std::string(5000, 'm'));
  EXPECT_TRUE(fs::exists(folder_ / L"集め" / L"demo.otio"));
  fs::rename(folder_ / L"集め", folder_ / L"移動");
  const CliRun check = Cli(L"check 移動\\demo.mpj --report 報告.txt");
  EXPECT_EQ(check.exitCode, 1u) << check.errors;
  EXPECT_EQ(ReadFile(folder_ / L"報告.txt"),
            "[MainAV]\r\n[InsertAV]\r\n[ExAudio1]\r\n[ExAudio2]\r\naudio/effect.wav\r\n"
            "[Title]\r\n[BinWindow]\r\n");
}

TEST_F(WindowsFilesTest, NulDiscardsAndCreatesNoFile) {
  Write(L"demo.mpj", project_);
  for (const wchar_t* nul : {L"nul", L"NUL"}) {
    EXPECT_EQ(Cli(std::wstring(L"to-text demo.mpj ") + nul).exitCode, 0u);
    EXPECT_EQ(Cli(std::wstring(L"check demo.mpj --report ") + nul).exitCode, 1u);
    EXPECT_EQ(Cli(std::wstring(L"export demo.mpj ") + nul + L" --format otio").exitCode, 0u);
  }
  EXPECT_EQ(FileCount(), 1u);
}

TEST_F(WindowsFilesTest, DestinationHeldOpenStaysWholeAndNoTemporaryFileRemains) {
  Write(L"demo.mpj", project_);
  const std::string old = "the old text\r\n";
  // A program that reads the file and lets others read and write, but not delete or rename it
  // (no FILE_SHARE_DELETE), as editors and players do; then one that shares nothing.
  for (const DWORD share : {DWORD{FILE_SHARE_READ | FILE_SHARE_WRITE}, DWORD{0}}) {
    Write(L"表示.txt", old);
    UniqueHandle holder = Handle(CreateFileW((folder_ / L"表示.txt").c_str(), GENERIC_READ, share,
                                             nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(holder);
    const CliRun run = Cli(L"to-text demo.mpj 表示.txt");
    EXPECT_EQ(run.exitCode, 2u) << share;
    EXPECT_NE(run.errors.find("another program"), std::string::npos) << run.errors;
    holder.reset();
    EXPECT_EQ(ReadFile(folder_ / L"表示.txt"), old) << share;
    EXPECT_EQ(FileCount(), 2u) << share;  // the project and the old text; no temporary file
  }
  // Once the program lets go, the same run replaces it.
  EXPECT_EQ(Cli(L"to-text demo.mpj 表示.txt").exitCode, 0u);
  EXPECT_EQ(ReadFile(folder_ / L"表示.txt").rfind("[Header]", 0), 0u);
}

TEST_F(WindowsFilesTest, DriveLettersUncNamesAndBothSeparatorsNameFiles) {
  Write(L"demo.mpj", project_);
  const std::wstring absolute = folder_.wstring();
  ASSERT_EQ(absolute[1], L':');
  std::wstring forward = absolute;
  for (wchar_t& c : forward)
    if (c == L'\\') c = L'/';
  EXPECT_EQ(Cli(L"to-text \"" + forward + L"/demo.mpj\" \"" + absolute + L"\\a.txt\"").exitCode,
            0u);
  // \\?\C:\... is the long form Windows gives absolute names.
  EXPECT_EQ(Cli(L"to-text demo.mpj \"\\\\?\\" + absolute + L"\\b.txt\"").exitCode, 0u);
  EXPECT_EQ(ReadFile(folder_ / L"a.txt"), ReadFile(folder_ / L"b.txt"));
  EXPECT_FALSE(ReadFile(folder_ / L"a.txt").empty());

  // What the project folder and the media lookups take as absolute and as separators.
  EXPECT_TRUE(platform::IsAbsolute(platform::PathOf("\\\\server\\share\\編集\\a.mpj")));
  EXPECT_TRUE(platform::IsAbsolute(platform::PathOf("//server/share/a.mpj")));
  EXPECT_TRUE(platform::IsAbsolute(platform::PathOf("D:/編集/a.mpj")));
  EXPECT_FALSE(platform::IsAbsolute(platform::PathOf("D:a.mpj")));        // D:'s current folder
  EXPECT_FALSE(platform::IsAbsolute(platform::PathOf("\\編集\\a.mpj")));  // the current drive
  EXPECT_EQ(platform::Utf8Of(platform::PathOf("編集/素材\\a.avi").filename()), "a.avi");
  EXPECT_EQ(platform::Utf8Of(platform::PathOf("編集/素材\\a.avi").parent_path()), "編集/素材");
}

}  // namespace
}  // namespace pexol
