// tests/support/CommandOutput.h - shell commands run as a user would check a file: what they
// print, and FFmpeg's own tools
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

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

}  // namespace pexol::test
