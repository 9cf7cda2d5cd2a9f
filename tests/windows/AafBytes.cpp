// tests/windows/AafBytes.cpp - pexol-aaf-bytes PROJECT OUT: the project's timeline written as
// AAF with its media under /media, so that two builds' files can be compared byte for byte
// (the command line's exports name media by this computer's paths)
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/RunObserver.h"
#include "core/RunProgress.h"
#include "core/TextEncoding.h"
#include "export/AafWriter.h"
#include "export/ExportFormats.h"
#include "model/Project.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: pexol-aaf-bytes PROJECT OUT\n");
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
  try {
    pexol::NullObserver quiet;
    pexol::RunProgress progress(quiet);
    const pexol::Timeline timeline = pexol::BuildTimeline(pexol::ReadProject(bytes, {}, progress));
    pexol::LayoutRules rules = pexol::LayoutRulesFor(*pexol::ExportFormatNamed("aaf"));
    rules.projectName = "bytes";
    rules.decode = [](std::string_view stored) { return pexol::DecodeShiftJis(stored).utf8; };
    rules.resolve = [](std::string_view stored) {
      return pexol::MediaReference{std::string(stored),
                                   "/media/" + pexol::DecodeShiftJis(stored).utf8, true};
    };
    const pexol::ExportWritten written = pexol::WriteAaf(pexol::LayOutTimeline(timeline, rules));
    std::ofstream(argv[2], std::ios::binary) << written.files.at(0).bytes;
  } catch (const std::exception& error) {
    // A project that does not read: both builds must say so alike.
    std::ofstream(argv[2], std::ios::binary) << "unreadable: " << error.what();
  }
  return 0;
}
