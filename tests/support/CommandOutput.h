// tests/support/CommandOutput.h - shell commands run as a user would check a file: what they
// print, and FFmpeg's own tools
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

namespace pexol::test {

/// What a shell command prints on standard output.
inline std::string Output(const std::string& command) {
  std::string out;
  const std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
  if (!pipe) return out;
  char buffer[65536];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe.get())) > 0;)
    out.append(buffer, n);
  return out;
}

/// Runs ffmpeg with `arguments`, bounded, so that a wrong filter cannot leave an endless
/// source encoding.
inline void Ffmpeg(const std::string& arguments) {
  ASSERT_EQ(std::system(("timeout 60 ffmpeg -v error -y " + arguments).c_str()), 0) << arguments;
}

/// A file's first sound stream decoded, as 16-bit stereo samples.
inline std::string DecodedSound(const std::string& path) {
  return Output("timeout 60 ffmpeg -v error -i '" + path +
                "' -map 0:a:0 -ac 2 -f s16le -acodec pcm_s16le -");
}

/// The mean difference of two pictures' samples, byte by byte; 255 when either is missing or
/// their sizes differ.
inline double MeanDifference(std::string_view a, std::string_view b) {
  if (a.empty() || a.size() != b.size()) return 255;
  double sum = 0;
  for (std::size_t i = 0; i < a.size(); ++i)
    sum += std::abs(static_cast<unsigned char>(a[i]) - static_cast<unsigned char>(b[i]));
  return sum / static_cast<double>(a.size());
}

}  // namespace pexol::test
