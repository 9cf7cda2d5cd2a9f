// render/ScaledPicture.h - a document's DV frame scaled into a frame of square pixels
#pragma once

#include <mlt++/Mlt.h>

#include "render/RenderChoices.h"

namespace pexol {

/// The output profile of `size` at the document's rate, and the scaler and padder on
/// `producer` that fit the document's whole frame into it with its shape kept (a 4:3 frame in
/// 1920x1080 is 1440x1080 between black bars); they leave the producer when this ends.
///
/// The graph below composites at the document's own size: titles, stills and tracks sit where
/// they sit in the project, and only the finished frame is scaled.
class ScaledPicture {
 public:
  ScaledPicture(Mlt::Profile& document, Mlt::Producer& producer, RenderSize size);
  ~ScaledPicture();
  ScaledPicture(const ScaledPicture&) = delete;
  ScaledPicture& operator=(const ScaledPicture&) = delete;

  Mlt::Profile& Profile() { return profile_; }
  bool Valid() { return scaler_.is_valid() && padder_.is_valid(); }

 private:
  Mlt::Profile profile_;
  Mlt::Producer& producer_;
  Mlt::Filter scaler_;
  Mlt::Filter padder_;
};

}  // namespace pexol
