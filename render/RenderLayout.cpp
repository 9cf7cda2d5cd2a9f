// render/RenderLayout.cpp - the MLT export's layout rules at the render's rate
#include "render/RenderLayout.h"

#include "core/TextEncoding.h"
#include "export/ExportFormats.h"
#include "media/PathText.h"

namespace pexol {

ExportTimeline RenderLayout(const Timeline& timeline, const RenderJob& job) {
  const std::string stem = Utf8OfPath(PathOfUtf8(job.source).stem());
  LayoutRules rules = LayoutRulesFor(*ExportFormatNamed("mlt"));
  rules.projectName = IsValidUtf8(stem) ? stem : "project";
  rules.rate = *ExportRateOf(job.timecode);
  rules.decode = [](std::string_view stored) { return DecodeShiftJis(stored).utf8; };
  return LayOutTimeline(timeline, rules);
}

std::optional<FrameRange> RenderedFrames(const ExportTimeline& layout, const RenderJob& job,
                                         std::string& error) {
  const auto maxFrames =
      static_cast<std::int64_t>(24 * 3600 * FramesPerSecond(*ExportRateOf(job.timecode)));
  return RangeOf(layout.end.Value(), job.from, job.to, job.timecode, maxFrames, error);
}

}  // namespace pexol
