// media/MediaCount.cpp - references and distinct media files, and their sentences
#include "media/MediaCount.h"

#include "core/Translation.h"
#include "media/PathText.h"

namespace pexol {

std::string MediaFileKey(std::string_view stored, const MediaResolution& resolution) {
  // Each kind of key has its own first letter, so that no path passes for a stored name.
  if (resolution.status == MediaStatus::Found)
    return "f" + Utf8OfPath(PathOfUtf8(resolution.path).lexically_normal());
  // U+FFFD stands for any undecodable bytes: two such names may be two files.
  if (resolution.path.empty() || !resolution.decoded) return "s" + std::string(stored);
  return "m" + FoldAsciiCase(resolution.path);
}

bool MediaCount::Add(std::string_view stored, const MediaResolution& resolution) {
  ++references_;
  const bool missing = resolution.status != MediaStatus::Found;
  missingReferences_ += missing ? 1 : 0;
  const bool first = files_.insert(MediaFileKey(stored, resolution)).second;
  missingFiles_ += missing && first ? 1 : 0;
  return missing && first;
}

std::string_view MediaFilesPattern(int references, int files) {
  // One reference names one file; a file is named at least once.
  if (references == 1) return ToTranslate("1 reference to 1 media file.");
  if (files == 1) return ToTranslate("{0} references to 1 media file.");
  return ToTranslate("{0} references to {1} media files.");
}

std::string_view MissingFilesPattern(int references, int files) {
  if (references == 0) return ToTranslate("No media file is missing.");
  if (references == 1) return ToTranslate("1 reference to 1 missing file.");
  if (files == 1) return ToTranslate("{0} references to 1 missing file.");
  return ToTranslate("{0} references to {1} missing files.");
}

std::string MediaCountText(const MediaCount& count) {
  return Say(MediaFilesPattern(count.References(), count.Files()), count.References(),
             count.Files()) +
         "\n" +
         Say(MissingFilesPattern(count.MissingReferences(), count.MissingFiles()),
             count.MissingReferences(), count.MissingFiles());
}

}  // namespace pexol
