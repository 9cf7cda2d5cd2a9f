// tools/MakeProject.cpp - pexol-mkproject: writes a demo, large or random project file
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>

#include "tools/builder/ProjectBuilder.h"

namespace {

using pexol::build::Project;

int Usage() {
  std::cerr << "usage: pexol-mkproject demo OUT.mpj\n"
               "       pexol-mkproject large OUT.mpj\n"
               "       pexol-mkproject random SEED VERSION corvane|lumetta OUT.mpj\n"
               "         VERSION in hexadecimal, e.g. 0x207\n";
  return 2;
}

bool ParseUnsigned(const char* text, int base, unsigned long max, unsigned long& value) {
  char* end = nullptr;
  errno = 0;
  value = std::strtoul(text, &end, base);
  return *text != '\0' && *text != '-' && *end == '\0' && errno == 0 && value <= max;
}

int Write(const Project& project, const std::string& path) {
  const std::string bytes = pexol::build::BuildProject(project);
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  if (file) file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (file) file.close();
  if (!file) {
    std::cerr << "pexol-mkproject: cannot write " << path << "\n";
    return 2;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return Usage();
  const std::string_view kind = argv[1];
  if (kind == "demo" && argc == 3) return Write(pexol::build::DemoProject(), argv[2]);
  if (kind == "large" && argc == 3) return Write(pexol::build::LargeProject(), argv[2]);
  if (kind != "random" || argc != 6) return Usage();
  unsigned long seed = 0, version = 0;
  if (!ParseUnsigned(argv[2], 10, 0xFFFFFFFFul, seed)) {
    std::cerr << "pexol-mkproject: bad seed " << argv[2] << "\n";
    return 2;
  }
  if (!ParseUnsigned(argv[3], 16, 0xFFFFul, version)) {
    std::cerr << "pexol-mkproject: bad version " << argv[3] << " (hexadecimal, e.g. 0x207)\n";
    return 2;
  }
  const std::string_view software = argv[4];
  if (software != "corvane" && software != "lumetta") {
    std::cerr << "pexol-mkproject: software must be corvane or lumetta\n";
    return 2;
  }
  const auto choice = software == "corvane" ? pexol::build::Software::CorvaneBrisko
                                            : pexol::build::Software::Lumetta;
  return Write(pexol::build::RandomProject(static_cast<std::uint32_t>(seed),
                                           static_cast<std::uint16_t>(version), choice),
               argv[5]);
}
