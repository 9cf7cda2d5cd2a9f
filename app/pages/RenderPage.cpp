// app/pages/RenderPage.cpp - the "render" page's parts and its job, the command line's render
#include "app/pages/RenderPage.h"

#include <chrono>
#include <cstdio>

#include "app/pages/ControlIds.h"
#include "app/pages/MediaFolders.h"
#include "core/Options.h"
#include "core/Translation.h"
#include "render/RenderChoices.h"
#include "render/RenderInProcesses.h"

namespace pexol::pages {

namespace {

std::string Trimmed(const std::string& text) {
  constexpr std::string_view space = " \t\r\n\f\v";
  const std::size_t first = text.find_first_not_of(space);
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(space) - first + 1);
}

// Every container the render writes; the first one's extension names a file by default.
FileRequest DestinationRequest() {
  std::string types;
  for (const RenderContainer& container : RenderContainers())
    types += (types.empty() ? "" : ";;") + std::string(Tr(container.label)) + " (*" +
             container.extension + ")";
  return SaveFile(std::string_view(RenderContainers().front().extension).substr(1),
                  WithAllFiles(types));
}

/// The render's progress with its frames counted in words on the status line while they are
/// encoded: the frame, the rate and, once the run can tell, the time left.
class FramesOnStatusLine final : public RunObserver {
 public:
  explicit FramesOnStatusLine(RunObserver& outer) : outer_(outer) {}

  void Status(std::string_view line) override {
    if (!Encoding()) outer_.Status(line);
  }
  void Progress(int done, int total) override {
    done_ = done;
    total_ = total;
    outer_.Progress(done, total);
  }
  void Frames(std::int64_t done, std::int64_t total) override {
    if (framesDone_ <= 0) framesStarted_ = Clock::now();
    framesDone_ = done;
    framesTotal_ = total;
    outer_.Frames(done, total);
    if (Encoding()) outer_.Status(FramesLine());
  }
  bool StopRequested() const override { return outer_.StopRequested(); }

 private:
  using Clock = std::chrono::steady_clock;

  // Between the first frame and the last, the run's own status says less than the count.
  bool Encoding() const { return framesDone_ > 0 && framesDone_ < framesTotal_; }

  std::string FramesLine() const {
    const auto since = [](Clock::time_point start) {
      return std::chrono::duration<double>(Clock::now() - start).count();
    };
    const double encoding = since(framesStarted_);
    const double fps = encoding > 0 ? static_cast<double>(framesDone_) / encoding : 0;
    char rate[32];
    std::snprintf(rate, sizeof rate, "%.1f", fps);
    // The time left once the run has taken long enough to tell, as the command line's bar.
    const double elapsed = since(started_);
    std::string left;
    if (elapsed >= 2 && done_ > 0 && done_ < total_) {
      const auto seconds = static_cast<long long>(elapsed * (total_ - done_) / done_ + 0.5);
      char clock[32];
      std::snprintf(clock, sizeof clock, "%lld:%02lld", seconds / 60, seconds % 60);
      left = clock;
    }
    const long long done = framesDone_, total = framesTotal_;
    // Each combination a whole line, as a translator sees it.
    if (fps > 0 && !left.empty())
      return Say("rendering frame {0} of {1}, {2} frames a second, {3} left", done, total,
                 std::string_view(rate), left);
    if (fps > 0)
      return Say("rendering frame {0} of {1}, {2} frames a second", done, total,
                 std::string_view(rate));
    if (!left.empty()) return Say("rendering frame {0} of {1}, {2} left", done, total, left);
    return Say("rendering frame {0} of {1}", done, total);
  }

  RunObserver& outer_;
  const Clock::time_point started_ = Clock::now();
  Clock::time_point framesStarted_ = started_;
  int done_ = 0, total_ = 1;
  std::int64_t framesDone_ = -1, framesTotal_ = 0;
};

}  // namespace

RenderPage::RenderPage() : Page(Tr("render")) {
  AddSoftwareBox(ids::renderSoftwareBox, ids::renderCorvane, ids::renderLumetta, "render/software");
  std::vector<Choice> rates;
  for (const RenderRate& choice : RenderRates())
    rates.push_back({choice.mode == TimecodeMode::Pal ? ids::renderPal : ids::renderNtsc,
                     std::string(Tr(choice.label)), static_cast<int>(choice.mode)});
  rate = AddChoices(ids::renderRateBox, Tr("video"), std::move(rates), "render/rate",
                    static_cast<int>(RenderJob{}.timecode));
  std::vector<Choice> sizes;
  for (const RenderSizeChoice& choice : RenderSizes()) {
    const int index = static_cast<int>(sizes.size());
    sizes.push_back({ids::renderSizeFirst + index, std::string(Tr(choice.label)), index});
  }
  size = AddChoices(ids::renderSizeBox, Tr("size"), std::move(sizes), "render/size", 0, 3);
  missing = AddChoices(
      ids::renderMissingBox, Tr("missing media"),
      {{ids::renderMissingFail, std::string(Tr("do not render; list them")),
        static_cast<int>(MissingMedia::Fail)},
       {ids::renderMissingBlack, std::string(Tr("render black and silence in their place")),
        static_cast<int>(MissingMedia::Black)}},
      "render/missing", static_cast<int>(MissingMedia::Fail));
  quality = state.AddNumber("render/quality", 0, 51, RenderJob{}.quality);
  from = state.AddText("render/from");
  to = state.AddText("render/to");
  AddStretch();
  source = AddFileRow(ids::renderSourceLabel, Tr("mpj source file"), ids::renderSource,
                      ids::renderSourceChooser, OpenFile("mpj", ProjectFilter()), "render/source");
  destination =
      AddFileRow(ids::renderDestinationLabel, Tr("video destination file"), ids::renderDestination,
                 ids::renderDestinationChooser, DestinationRequest(), "render/destination");
  AddMediaFoldersButton(ids::renderMediaFolders);
  AddRunRow(ids::renderRun, Tr("render"), ids::renderProgress, ids::renderStatus,
            ids::renderCancel);
  state.PictureFrom(source, rate);
}

Driver RenderPage::MakeRun(const MediaFolders& media) {
  RenderJob job;
  job.source = state.Text(source);
  job.destination = state.Text(destination);
  job.software = state.ChosenSoftware();
  job.timecode = static_cast<TimecodeMode>(state.Value(rate, 0));
  job.missing = static_cast<MissingMedia>(state.Value(missing));
  job.quality = state.Value(quality);
  job.from = Trimmed(state.Text(from));
  job.to = Trimmed(state.Text(to));
  const int chosen = state.Value(size, 0);
  job.size = RenderSizes()[static_cast<std::size_t>(chosen)].name;
  job.maps = media.maps;
  job.searchFolders = media.searchFolders;
  return [job = std::move(job)](RunObserver& observer) {
    FramesOnStatusLine shown(observer);
    return RunRenderInProcesses(job, shown);
  };
}

}  // namespace pexol::pages
