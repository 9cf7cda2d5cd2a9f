// core/TrackEntries.h - the per-clip summaries a to-text run keeps for the EDL
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pexol {

/// One main track clip as the EDL sees it.
struct MainTrackEntry {
  std::string name;         ///< the file name as stored; "color clip" for a colour clip
  std::int32_t length = 0;  ///< recorder length: out - in + 1, or an effect's clip length
  std::int32_t in = 0;      ///< source in (0 for stills and colour clips)
  std::int32_t outEnd = 0;  ///< end of the source span, exclusive
  std::string transition;   ///< name of the transition into this clip; empty for a cut
  std::int32_t hasAudio = 0;
  std::int32_t slow = 0;  ///< nonzero for a half-speed clip
};

/// One insert track clip as the EDL sees it.
struct InsertTrackEntry {
  std::string name;
  std::int32_t in = 0;
  std::int32_t outEnd = 0;
  std::int32_t begin = 0;  ///< place on the recorder
  std::int32_t hasAudio = 0;
  std::int32_t slow = 0;
};

/// One extra audio clip as the EDL sees it.
struct ExAudioEntry {
  std::string name;
  std::int32_t in = 0;
  std::int32_t outEnd = 0;
  std::int32_t begin = 0;
};

/// The entries of one run, sized by the records actually read. After the main track
/// has been read, `main` holds one entry per clip plus a trailing one, which carries
/// the transition an effect on the last clip names.
struct TrackEntries {
  std::vector<MainTrackEntry> main;
  std::vector<InsertTrackEntry> insert;
  std::vector<ExAudioEntry> exAudio[2];

  /// Number of main clips (without the trailing entry).
  int MainClipCount() const { return main.empty() ? 0 : static_cast<int>(main.size()) - 1; }
};

}  // namespace pexol
