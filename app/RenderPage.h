// app/RenderPage.h - the "render" page: a project's timeline to a finished video file
#pragma once

#include "app/RunPage.h"

namespace pexol {

/// Renders a project's timeline, or a part of it, to an MP4, Matroska or QuickTime file at a
/// size of `RenderSizes` (or its sound to a sound file),
/// finding media with the media folders. The render runs in a pexol-cli process of its own,
/// so that nothing MLT loads comes into the window's process.
class RenderPage final : public RunPage {
  Q_OBJECT

 public:
  explicit RenderPage(const PageContext& context);

 protected:
  Driver MakeRun() override;

 private:
  QButtonGroup* rate;     ///< ids are timecode mode values: NTSC drop frame or PAL
  QButtonGroup* missing;  ///< ids: 0 do not render, 1 black and silence
  QButtonGroup* size;     ///< ids are indexes of `RenderSizes`
  QSpinBox* quality;
  QLineEdit* from;
  QLineEdit* to;
  QLineEdit* source;
  QLineEdit* destination;
};

}  // namespace pexol
