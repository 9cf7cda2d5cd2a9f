// app/pages/RenderPage.cpp - the "render" page's parts and the command line its job runs
#include "app/pages/RenderPage.h"

#include "app/pages/ControlIds.h"
#include "app/pages/MediaFolders.h"
#include "core/Options.h"
#include "core/Translation.h"
#include "render/RenderChoices.h"
#include "render/RenderSteps.h"

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

}  // namespace

std::vector<std::string> RenderArgumentsForChild(const RenderJob& job) {
  std::vector<std::string> arguments = RenderArguments(job, nullptr);
  arguments.push_back("--progress=json");
  return arguments;
}

RenderPage::RenderPage(Renderer renderer) : Page(Tr("render")), renderer(std::move(renderer)) {
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
  return renderer(RenderArgumentsForChild(job));
}

}  // namespace pexol::pages
