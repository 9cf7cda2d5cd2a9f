// tools/MakeProject.cpp - pexol-mkproject: writes a demo, large (of any size) or random project
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>

#include "tools/builder/ProjectBuilder.h"

namespace {

using pexol::build::Project;

int Usage(std::ostream& out, int status) {
  out << "usage: pexol-mkproject demo OUT.mpj\n"
         "       pexol-mkproject large OUT.mpj [SCALE]\n"
         "       pexol-mkproject random SEED VERSION corvane|lumetta OUT.mpj\n"
         "\n"
         "Writes a project file for trying pexol out and for tests and benchmarks:\n"
         "  demo    the small example project (examples/demo.mpj)\n"
         "  large   1000 main clips, 300 inserts, 2 x 300 extra audio clips, effects,\n"
         "          200 titles and 5000 bin items; SCALE times as many of each (default 1)\n"
         "  random  a random project of format VERSION (hexadecimal, e.g. 0x207)\n";
  return status;
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
  if (argc == 2 && (std::string_view(argv[1]) == "--help" || std::string_view(argv[1]) == "-h"))
    return Usage(std::cout, 0);
  if (argc < 3) return Usage(std::cerr, 2);
  const std::string_view kind = argv[1];
  if (kind == "demo" && argc == 3) return Write(pexol::build::DemoProject(), argv[2]);
  if (kind == "large" && (argc == 3 || argc == 4)) {
    unsigned long scale = 1;
    if (argc == 4 && (!ParseUnsigned(argv[3], 10, 1000ul, scale) || scale == 0)) {
      std::cerr << "pexol-mkproject: bad scale " << argv[3] << " (1 to 1000)\n";
      return 2;
    }
    return Write(pexol::build::LargeProject(scale), argv[2]);
  }
  if (kind != "random" || argc != 6) return Usage(std::cerr, 2);
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
