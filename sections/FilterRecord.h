// sections/FilterRecord.h - per-clip filter data: record layouts, copied unchanged
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "sections/RecordWalk.h"

namespace pexol {

/// One named filter: its name and its settings, neither interpreted.
struct FilterBlock {
  std::string_view name;  ///< the counted string, length included
  std::uint32_t bytes = 0;
  std::string_view data;
};

template <class Walker>
void WalkFilterBlocks(Walker& w, std::vector<FilterBlock>& blocks) {
  std::uint32_t count = CountOf<std::uint32_t>(blocks);
  w.Dword(count);
  w.Items(blocks, count, [&w](FilterBlock& block) {
    w.RawString(block.name);
    w.Dword(block.bytes);
    w.Raw(block.data, block.bytes);
  });
}

/// The filter record of one main or insert track clip. Only the slow mark is interpreted.
struct TrackFilterRecord {
  std::uint32_t hasBlock1 = 0;
  std::uint32_t hasBlock2 = 0;
  std::uint32_t hasBlock3 = 0;
  std::uint32_t slow = 0;  ///< nonzero: the clip plays at half speed
  std::uint32_t value5 = 0;
  std::uint32_t value6 = 0;
  std::uint32_t block1Bytes = 0;  ///< counts its own four bytes
  std::string_view block1;
  std::uint32_t block2Value = 0;
  std::uint32_t block2Bytes = 0;
  std::string_view block2;
  std::uint32_t block3Bytes = 0;
  std::string_view block3;
  std::vector<FilterBlock> video;
  std::vector<FilterBlock> audio;
};

template <class Walker>
void WalkTrackFilterRecord(Walker& w, TrackFilterRecord& filter) {
  w.Dword(filter.hasBlock1);
  w.Dword(filter.hasBlock2);
  w.Dword(filter.hasBlock3);
  w.Dword(filter.slow);
  w.Dword(filter.value5);
  w.Dword(filter.value6);
  if (filter.hasBlock1 == 1) {
    w.Dword(filter.block1Bytes);
    w.Raw(filter.block1, filter.block1Bytes > 4 ? filter.block1Bytes - 4 : 0);
  }
  if (filter.hasBlock2 == 1) {
    w.Dword(filter.block2Value);
    w.Dword(filter.block2Bytes);
    w.Raw(filter.block2, filter.block2Bytes);
  }
  if (filter.hasBlock3 == 1) {
    w.Dword(filter.block3Bytes);
    w.Raw(filter.block3, filter.block3Bytes);
  }
  WalkFilterBlocks(w, filter.video);
  WalkFilterBlocks(w, filter.audio);
}

/// The filter record of one extra audio clip.
struct AudioFilterRecord {
  std::vector<FilterBlock> blocks;
};

template <class Walker>
void WalkAudioFilterRecord(Walker& w, AudioFilterRecord& filter) {
  WalkFilterBlocks(w, filter.blocks);
}

}  // namespace pexol
