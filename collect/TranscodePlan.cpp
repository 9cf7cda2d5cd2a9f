// collect/TranscodePlan.cpp - actions, new endings, trimmed pieces and the names that lead to them
#include "collect/TranscodePlan.h"

#include <algorithm>
#include <set>
#include <utility>

#include "media/PathText.h"
#include "probe/ProbeMedia.h"
#include "sections/ClipKind.h"

namespace pexol {

namespace {

struct FrameRange {
  std::int64_t first = 0;
  std::int64_t last = 0;
};

// "a/clip.avi" -> "a/clip"
std::string Stem(const std::string& relative) {
  const std::size_t slash = relative.rfind('/');
  const std::size_t dot = relative.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return relative;
  return relative.substr(0, dot);
}

std::string Extension(const std::string& relative) {
  return relative.substr(Stem(relative).size());
}

/// Names taken below media/, letter case aside, as Windows sees them.
class TakenNames {
 public:
  explicit TakenNames(const CollectPlan& plan) {
    for (const CollectedFile& file : plan.files) {
      taken_.insert(FoldAsciiCase(file.relative));
      taken_.insert(FoldAsciiCase(file.asIs));
    }
  }
  void Free(const std::string& name) { taken_.erase(FoldAsciiCase(name)); }
  /// The first of STEM, STEM-2, STEM-3... for which every ending in `endings` is free, taken.
  std::string Claim(const std::string& stem, std::initializer_list<std::string_view> endings) {
    for (int n = 1;; ++n) {
      const std::string candidate = n == 1 ? stem : stem + "-" + std::to_string(n);
      if (std::none_of(endings.begin(), endings.end(), [&](std::string_view ending) {
            return taken_.contains(FoldAsciiCase(candidate + std::string(ending)));
          })) {
        for (std::string_view ending : endings)
          taken_.insert(FoldAsciiCase(candidate + std::string(ending)));
        return candidate;
      }
    }
  }

 private:
  std::set<std::string> taken_;
};

// The frames of each movie file that the timeline's clips use (the bin's items use none).
std::vector<std::vector<FrameRange>> UsedRanges(const CollectPlan& plan, const Project& project) {
  std::vector<std::vector<FrameRange>> used(plan.files.size());
  RewriteMediaUses(
      project,
      [&](MediaUse& use) {
        if (use.in == nullptr || use.section == SectionId::BinWindow) return false;
        const auto file = plan.fileOfName.find(use.name);
        if (file == plan.fileOfName.end() || !plan.files[file->second].movie) return false;
        used[file->second].push_back({std::min(*use.in, *use.out), std::max(*use.in, *use.out)});
        return false;
      },
      [](std::string_view, std::string) {});
  return used;
}

// The ranges widened by `handles` each side and joined where they then overlap or touch.
std::vector<FrameRange> Pieces(std::vector<FrameRange> ranges, int handles) {
  for (FrameRange& range : ranges) {
    range.first = std::max<std::int64_t>(0, range.first - handles);
    range.last += handles;
  }
  std::sort(ranges.begin(), ranges.end(),
            [](const FrameRange& a, const FrameRange& b) { return a.first < b.first; });
  std::vector<FrameRange> joined;
  for (const FrameRange& range : ranges) {
    if (!joined.empty() && range.first <= joined.back().last + 1)
      joined.back().last = std::max(joined.back().last, range.last);
    else
      joined.push_back(range);
  }
  return joined;
}

std::string WindowsMediaName(const std::string& relative) {
  std::string name = "media\\" + relative;
  std::replace(name.begin(), name.end(), '/', '\\');
  return name;
}

}  // namespace

void PlanTranscodes(CollectPlan& plan, const Project& project, const TranscodeChoice& choice) {
  if (choice.kind == TranscodeKind::Copy) return;
  const std::string extension = ChoiceOf(choice.kind).extension;
  const std::vector<std::vector<FrameRange>> used =
      choice.trim ? UsedRanges(plan, project) : std::vector<std::vector<FrameRange>>{};
  TakenNames taken(plan);
  for (std::size_t i = 0; i < plan.files.size(); ++i) {
    CollectedFile& file = plan.files[i];
    if (file.movie) {
      file.action = FileAction::Transcode;
      const std::vector<FrameRange> pieces =
          choice.trim ? Pieces(used[i], choice.handles) : std::vector<FrameRange>{};
      taken.Free(file.relative);
      taken.Free(file.asIs);
      const std::string stem = Stem(file.relative);
      const std::string ending = Extension(file.relative);
      if (pieces.size() <= 1) {
        // The project's name and the file written differ in their ending alone.
        file.relative = taken.Claim(stem, {ending, extension}) + ending;
        file.output = Stem(file.relative) + extension;
      } else {
        file.relative = taken.Claim(stem, {ending}) + ending;
        file.output.clear();
      }
      for (std::size_t p = 0; p < pieces.size(); ++p) {
        MoviePiece piece{pieces[p].first, pieces[p].last, file.relative, file.output};
        if (pieces.size() > 1) {
          const std::string pieceStem =
              taken.Claim(stem + "-" + std::to_string(p + 1), {ending, extension});
          piece.name = pieceStem + ending;
          piece.output = pieceStem + extension;
        }
        file.pieces.push_back(std::move(piece));
      }
    } else if (file.still && !StillOpensEverywhere(file.relative)) {
      file.action = FileAction::ToPng;
      taken.Free(file.relative);
      taken.Free(file.asIs);
      file.output = taken.Claim(Stem(file.relative), {".png"}) + ".png";
    }
  }
}

void ProbeMovies(CollectPlan& plan, const std::function<bool()>& stop) {
  std::vector<std::string> paths;
  std::vector<CollectedFile*> movies;
  for (CollectedFile& file : plan.files)
    if (file.action == FileAction::Transcode) {
      paths.push_back(file.source);
      movies.push_back(&file);
    }
  const std::vector<MediaFacts> facts = ProbeMedia(paths, stop);
  for (std::size_t i = 0; i < movies.size() && i < facts.size(); ++i) {
    CollectedFile& file = *movies[i];
    if (facts[i].kind != MediaKind::Movie || facts[i].frames <= 0) continue;
    file.frames = facts[i].frames;
    if (file.pieces.empty()) continue;
    for (MoviePiece& piece : file.pieces) piece.last = std::min(piece.last, file.frames - 1);
    std::erase_if(file.pieces, [](const MoviePiece& piece) { return piece.first > piece.last; });
    // Every clip asks for frames past the file's end: nothing to cut, so it goes as it was.
    if (file.pieces.empty()) CopyInstead(file);
  }
}

std::int64_t FramesToWrite(const CollectedFile& file) {
  if (file.pieces.empty()) return file.frames;
  std::int64_t frames = 0;
  for (const MoviePiece& piece : file.pieces) frames += piece.last - piece.first + 1;
  return file.frames > 0 ? frames : 0;
}

void CopyInstead(CollectedFile& file) {
  file.action = FileAction::Copy;
  file.output = file.asIs;
  file.pieces.clear();
}

std::optional<std::string> CollectedName(const CollectPlan& plan, MediaUse& use) {
  const auto at = plan.fileOfName.find(use.name);
  if (at == plan.fileOfName.end()) return std::nullopt;
  const CollectedFile& file = plan.files[at->second];
  if (file.action == FileAction::ToPng) return WindowsMediaName(file.output);
  if (file.pieces.empty() || use.in == nullptr) return WindowsMediaName(file.relative);
  // The piece that holds the record's first frame; a bin item's may lie outside them all.
  const std::int64_t in = std::min(*use.in, *use.out);
  auto piece = std::find_if(file.pieces.begin(), file.pieces.end(),
                            [in](const MoviePiece& p) { return in <= p.last; });
  if (piece == file.pieces.end()) --piece;
  // A clip's frames lie in its piece (an in point before the file's start stays before it); a
  // bin item's are kept within it.
  const bool bin = use.section == SectionId::BinWindow;
  const auto moved = [&piece, bin](std::int32_t frame) {
    const std::int64_t inPiece =
        bin ? std::clamp<std::int64_t>(frame, piece->first, piece->last) : frame;
    return static_cast<std::int32_t>(inPiece - piece->first);
  };
  *use.in = moved(*use.in);
  *use.out = moved(*use.out);
  return WindowsMediaName(piece->name);
}

}  // namespace pexol
