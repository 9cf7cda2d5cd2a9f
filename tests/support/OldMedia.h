// tests/support/OldMedia.h - movies and stills as old editing projects link them, made by
// FFmpeg: DV, Motion-JPEG and MPEG-4 AVIs with a moving picture and a beeping tone, and stills
// in every format FFmpeg writes
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/CommandOutput.h"

namespace pexol::test {

/// `path` quoted for the shell.
inline std::string ShellQuoted(const std::filesystem::path& path) {
  std::string quoted = "'";
  for (const char c : path.string()) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

/// Runs ffmpeg (bounded) to write `path`; true when it did.
inline bool MakeWithFfmpeg(const std::string& arguments, const std::filesystem::path& path) {
  Ffmpeg(arguments + " " + ShellQuoted(path));
  return !::testing::Test::HasFatalFailure() && std::filesystem::exists(path);
}

/// The inputs of an old movie: a test pattern scrolling sideways (each frame far from the next)
/// at `rate` and a tone beeping every second, each cut to exactly `frames` frames' time.
inline std::string OldMovieInputs(const std::string& size, int frames, int rateNum, int rateDen,
                                  int sampleRate, const std::string& aspect) {
  const long long samples =
      (static_cast<long long>(frames) * sampleRate * rateDen * 2 + rateNum) / (2LL * rateNum);
  return "-f lavfi -i testsrc=size=" + size + ":rate=" + std::to_string(rateNum) + "/" +
         std::to_string(rateDen) + " -f lavfi -i sine=frequency=1000:beep_factor=4:sample_rate=" +
         std::to_string(sampleRate) + " -vf trim=end_frame=" + std::to_string(frames) +
         ",scroll=h=0.0371,setsar=" + aspect + " -af atrim=end_sample=" + std::to_string(samples) +
         " -ac 2";
}

/// NTSC DV (type 2: the sound in its own stream) as a DV deck captured it: 720x480 at 29.97,
/// bottom field first, 4:3 (10/11) or 16:9 (40/33) pixels, 48 kHz stereo PCM, starting at
/// timecode 01:00:00;00.
inline bool MakeDvAvi(const std::filesystem::path& path, int frames, bool wide = false) {
  return MakeWithFfmpeg(
      OldMovieInputs("720x480", frames, 30000, 1001, 48000, wide ? "40/33" : "10/11") +
          " -c:v dvvideo -pix_fmt yuv411p -c:a pcm_s16le "
          "-timecode 01:00:00\\;00 -f avi",
      path);
}

/// Motion-JPEG as capture cards wrote it: 720x480 at 29.97, full-range 4:2:2, 48 kHz PCM.
inline bool MakeMjpegAvi(const std::filesystem::path& path, int frames) {
  return MakeWithFfmpeg(OldMovieInputs("720x480", frames, 30000, 1001, 48000, "10/11") +
                            " -c:v mjpeg -q:v 3 -pix_fmt yuvj422p -c:a pcm_s16le -f avi",
                        path);
}

/// MPEG-4 part 2 tagged as Xvid: 640x480 square pixels at 25, a key frame every 12, MP3 sound
/// at 44.1 kHz. The MP3 encoder's delay starts the sound before the picture, as it was stored;
/// moving both to start at 0 would leave a hole at the picture's second frame.
inline bool MakeMpeg4Avi(const std::filesystem::path& path, int frames) {
  return MakeWithFfmpeg(OldMovieInputs("640x480", frames, 25, 1, 44100, "1") +
                            " -c:v mpeg4 -vtag xvid -q:v 4 -g 12 -c:a libmp3lame -b:a 128k "
                            "-avoid_negative_ts disabled -f avi",
                        path);
}

/// MPEG-2 in a program stream (.mpg), as DVD-era projects linked it: 720x480 at 29.97, a key
/// frame every 90 with B-frames (a seek by bytes lands between key frames), MP2 sound.
inline bool MakeMpeg2Mpg(const std::filesystem::path& path, int frames) {
  return MakeWithFfmpeg(OldMovieInputs("720x480", frames, 30000, 1001, 48000, "10/11") +
                            " -c:v mpeg2video -q:v 3 -g 90 -bf 2 -c:a mp2 -f vob",
                        path);
}

/// A still of 320x240 in the format its ending names (.bmp .dib .png .jpg .jpeg .jfif .tif
/// .tiff .gif .sgi .rgb .tga .targa .vda .icb .vst), with alpha when asked and the format has
/// it (PNG, TIFF, SGI, Targa). False for an ending FFmpeg does not write.
inline bool MakeStill(const std::filesystem::path& path, bool alpha = false) {
  std::string ending = path.extension().string();
  for (char& c : ending) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  std::string codec;
  std::string pixels = "rgb24";
  const char* rgba = "rgba";
  if (ending == ".bmp" || ending == ".dib") {
    codec = "bmp";
    pixels = "bgr24";
    rgba = nullptr;
  } else if (ending == ".png") {
    codec = "png";
  } else if (ending == ".jpg" || ending == ".jpeg" || ending == ".jfif") {
    codec = "mjpeg";
    pixels = "yuvj420p";
    rgba = nullptr;
  } else if (ending == ".tif" || ending == ".tiff") {
    codec = "tiff";
  } else if (ending == ".gif") {
    codec = "gif";
    pixels = "rgb8";
    rgba = nullptr;
  } else if (ending == ".sgi" || ending == ".rgb") {
    codec = "sgi";
  } else if (ending == ".tga" || ending == ".targa" || ending == ".vda" || ending == ".icb" ||
             ending == ".vst") {
    codec = "targa";
    pixels = "bgr24";
    rgba = "bgra";
  } else {
    return false;
  }
  if (alpha && !rgba) return false;
  // The pattern with a fading alpha, so that a lost alpha channel shows.
  const std::string picture =
      alpha ? "-f lavfi -i testsrc2=size=320x240:rate=1 -vf \"format=rgba,geq=r='r(X,Y)':"
              "g='g(X,Y)':b='b(X,Y)':a='X*255/W'\""
            : "-f lavfi -i testsrc2=size=320x240:rate=1";
  return MakeWithFfmpeg(picture + " -frames:v 1 -c:v " + codec + " -pix_fmt " +
                            (alpha ? std::string(rgba) : pixels) + " -update 1 -f image2",
                        path);
}

}  // namespace pexol::test
