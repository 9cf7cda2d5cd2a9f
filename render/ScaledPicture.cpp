// render/ScaledPicture.cpp - the output profile and the filters that conform the frame to it
#include "render/ScaledPicture.h"

namespace pexol {

namespace {

// A profile of square pixels at the document's rate; Mlt::Profile has no copy.
Mlt::Profile& Conform(Mlt::Profile& profile, Mlt::Profile& document, RenderSize size) {
  profile.set_width(size.width);
  profile.set_height(size.height);
  profile.set_sample_aspect(1, 1);
  profile.set_display_aspect(size.width, size.height);
  profile.set_frame_rate(document.frame_rate_num(), document.frame_rate_den());
  profile.set_progressive(1);
  // High definition is coded in BT.709; the consumer converts the DV frame's BT.601 to it.
  profile.set_colorspace(size.height >= 720 ? 709 : 601);
  profile.set_explicit(1);
  return profile;
}

}  // namespace

ScaledPicture::ScaledPicture(Mlt::Profile& document, Mlt::Producer& producer, RenderSize size)
    : producer_(producer),
      // Filters conform to the profile they are made in: the output's.
      scaler_(Conform(profile_, document, size), "swscale"),
      padder_(profile_, "resize") {
  // The padder runs first: it asks the scaler for the picture's size within the frame (from
  // the frame's pixel shape, which the tractor takes from its background track at the
  // document's size) and centres it on black.
  if (Valid()) {
    producer_.attach(scaler_);
    producer_.attach(padder_);
  }
}

ScaledPicture::~ScaledPicture() {
  if (Valid()) {
    producer_.detach(padder_);
    producer_.detach(scaler_);
  }
}

}  // namespace pexol
