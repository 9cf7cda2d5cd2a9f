// app/RenderPage.h - the "render" page: a project's timeline to a finished video file
#pragma once

#include "app/RunPage.h"

namespace pexol {

/// Renders a project's timeline to an MP4, Matroska or QuickTime file through MLT, finding
/// media with the media folders.
class RenderPage final : public RunPage {
  Q_OBJECT

 public:
  explicit RenderPage(const PageContext& context);

 protected:
  Driver MakeRun() override;

 private:
  QButtonGroup* rate;     ///< ids are timecode mode values: NTSC drop frame or PAL
  QButtonGroup* missing;  ///< ids are MissingMedia values
  QSpinBox* quality;
  QLineEdit* source;
  QLineEdit* destination;
};

}  // namespace pexol
