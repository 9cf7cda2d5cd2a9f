// export/MltGraph.cpp - tracks, profile, producers and filters of both MLT dialects
#include "export/MltGraph.h"

#include <algorithm>
#include <cstdio>

#include "export/MltMediaNames.h"

namespace pexol {
namespace {

std::string MltColour(std::uint32_t colour) {
  std::string text = "0x" + HexColour(colour).substr(1);
  return text + "ff";
}

// Where a gradient starts and ends in the frame (0 to 1 across and down), by direction: up, up
// right, right, down right, down, down left, left, up left.
struct GradientLine {
  double startX, startY, endX, endY;
};
constexpr GradientLine gradientLines[8] = {{0.5, 1, 0.5, 0}, {0, 1, 1, 0},     {0, 0.5, 1, 0.5},
                                           {0, 0, 1, 1},     {0.5, 0, 0.5, 1}, {1, 0, 0, 1},
                                           {1, 0.5, 0, 0.5}, {1, 1, 0, 0}};

std::string Number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.6g", value);
  return text;
}

// The volume filter's keyframes: "frame=dB" each, silence as its lowest gain.
std::string LevelProperty(const std::vector<GainPoint>& envelope, Frames first) {
  std::string text;
  for (const GainPoint& point : envelope) {
    if (!text.empty()) text += ';';
    const auto gain = GainDb(point.level);
    text += std::to_string((first + point.frame).Value()) + "=" + (gain ? Number(*gain) : "-90");
  }
  return text;
}

}  // namespace

Frames ProducerIn(const TrackPiece& piece) {
  switch (piece.item->kind) {
    case ItemKind::Movie:
      // The timewarp producer counts frames at its own (half) speed.
      return piece.item->slow ? 2 * piece.sourceIn : piece.sourceIn;
    case ItemKind::Still:
    case ItemKind::Colour:
    case ItemKind::Title:
      break;
  }
  return 0;
}

void MltGraph::Profile(bool wideScreen) {
  const bool pal = TimecodeModeOf(timeline_.rate) == TimecodeMode::Pal;
  // 720 pixels wide on a 4:3 or 16:9 display: 8:9 or 32:27 (NTSC), 16:15 or 64:45 (PAL).
  const int aspect[2][2][2] = {{{8, 9}, {32, 27}}, {{16, 15}, {64, 45}}};
  const auto* pixel = aspect[pal][wideScreen];
  xml_.Open("profile");
  xml_.Attribute("description", pal ? "DV/DVD PAL" : "DV/DVD NTSC");
  xml_.Attribute("width", 720);
  xml_.Attribute("height", pal ? 576 : 480);
  xml_.Attribute("progressive", 0);
  xml_.Attribute("sample_aspect_num", pixel[0]);
  xml_.Attribute("sample_aspect_den", pixel[1]);
  xml_.Attribute("display_aspect_num", wideScreen ? 16 : 4);
  xml_.Attribute("display_aspect_den", wideScreen ? 9 : 3);
  xml_.Attribute("frame_rate_num", timeline_.rate.numerator);
  xml_.Attribute("frame_rate_den", timeline_.rate.denominator);
  xml_.Attribute("colorspace", 601);
  xml_.Close();
}

void MltGraph::Entry(const std::string& producer, Frames in, Frames length, bool open) {
  xml_.Open("entry");
  xml_.Attribute("producer", producer);
  xml_.Attribute("in", in.Value());
  xml_.Attribute("out", LastFrame(in, length));
  if (!open) xml_.Close();
}

void MltGraph::Source(const TimelineItem& item, const std::string& path, std::int64_t length,
                      bool muted, const MediaReference* media) {
  switch (item.kind) {
    case ItemKind::Movie: {
      if (item.slow) {
        xml_.Property("resource", "0.5:" + path);
        xml_.Property("mlt_service", "timewarp");
        xml_.Property("warp_speed", "0.5");
        xml_.Property("warp_resource", path);
        if (dialect_ == MltDialect::Shotcut) xml_.Property("shotcut:producer", "avformat");
      } else {
        if (media != nullptr && media->length) xml_.Property("length", media->length->frames);
        xml_.Property("resource", path);
        xml_.Property("mlt_service", "avformat");
      }
      if (muted) xml_.Property("audio_index", -1);
      break;
    }
    case ItemKind::Still:
      xml_.Property("length", length);
      if (ImageLoadersMisread(path)) {
        // The image loaders would read the name as a sequence pattern; FFmpeg's reader opens
        // the one file, its frame held. No "ttl": Kdenlive would take the still for a slideshow.
        xml_.Property("resource", FfmpegImageResource(path));
        xml_.Property("mlt_service", "avformat");
        xml_.Property("force_fps", ffmpegImageRate);
        break;
      }
      xml_.Property("resource", path);
      xml_.Property("ttl", 1);
      xml_.Property("mlt_service", stillService_);
      break;
    case ItemKind::Colour:
      xml_.Property("length", length);
      xml_.Property("resource", MltColour(item.colour));
      xml_.Property("mlt_service", "color");
      break;
    case ItemKind::Title:
      xml_.Property("length", length);
      xml_.Property("resource", "0x00000000");
      xml_.Property("mlt_service", "color");
      xml_.Property("mlt_image_format", "rgba");
      break;
  }
}

void MltGraph::Caption(const std::string& name) {
  xml_.Property(dialect_ == MltDialect::Shotcut ? "shotcut:caption" : "kdenlive:clipname", name);
}

void MltGraph::PictureFilters(const ExportPiece& piece) {
  const TimelineItem& item = *piece.item;
  if (item.kind == ItemKind::Title) TextFilter(piece);
  if (item.kind == ItemKind::Colour && item.fill.colours.size() > 1) Gradient(item.fill);
}

// Marks a filter as the editor's own effect, which its panels then show and edit.
void MltGraph::Mark(const char* shotcut, const char* kdenlive) {
  if (dialect_ == MltDialect::Shotcut)
    xml_.Property("shotcut:filter", shotcut);
  else
    xml_.Property("kdenlive_id", kdenlive);
}

// Shotcut's "Gain / Volume", Kdenlive's "Volume (keyframable)": a keyframe per level.
void MltGraph::GainFilter(const std::vector<GainPoint>& envelope, Frames first,
                          std::optional<std::pair<std::int64_t, std::int64_t>> span) {
  xml_.Open("filter");
  if (span) {
    xml_.Attribute("in", span->first);
    xml_.Attribute("out", span->second);
  }
  xml_.Property("window", 75);
  xml_.Property("max_gain", "20dB");
  xml_.Property("level", LevelProperty(envelope, first));
  xml_.Property("mlt_service", "volume");
  // Shotcut 22.12 knows its Gain / Volume filter by the service alone and shows one marked with
  // a name it lacks as an unknown video filter; later versions name an unmarked one themselves.
  if (dialect_ == MltDialect::Kdenlive) xml_.Property("kdenlive_id", "volume");
  xml_.Close();
}

// A still keeps its shape inside the frame, with bars where it does not fill it.
void MltGraph::KeepAspect() {
  xml_.Open("filter");
  xml_.Property("transition.rect", "0/0:100%x100%");
  xml_.Property("transition.fill", 1);
  xml_.Property("transition.distort", 0);
  xml_.Property("transition.halign", "center");
  xml_.Property("transition.valign", "middle");
  xml_.Property("mlt_service", "affine");
  xml_.Property("shotcut:filter", "affineSizePosition");
  xml_.Close();
}

// The "Gradient" filter (frei0r's cairogradient, parameters by number: pattern, start colour
// and opacity, end colour and opacity, start x and y, end x and y, offset, blend) from the
// first colour to the second; each further colour fades in over its own equal stretch on top
// of the one before.
void MltGraph::Gradient(const ColourFill& fill) {
  const GradientLine& line = gradientLines[fill.direction & 7];
  const std::size_t stretches = fill.colours.size() - 1;
  for (std::size_t s = 0; s < stretches; ++s) {
    const auto at = [&](std::size_t stop, double from, double to) {
      return Number(from + (to - from) * double(stop) / double(stretches));
    };
    xml_.Open("filter");
    xml_.Property("0", "gradient_linear");  // the pattern
    xml_.Property("1", HexColour(fill.colours[s == 0 ? 0 : s + 1]));
    xml_.Property("2", s == 0 ? 1 : 0);
    xml_.Property("3", HexColour(fill.colours[s + 1]));
    xml_.Property("4", 1);
    // cairogradient puts its start colour at its end point.
    xml_.Property("5", at(s + 1, line.startX, line.endX));
    xml_.Property("6", at(s + 1, line.startY, line.endY));
    xml_.Property("7", at(s, line.startX, line.endX));
    xml_.Property("8", at(s, line.startY, line.endY));
    xml_.Property("9", 0);          // no offset
    xml_.Property("10", "normal");  // the blend mode
    xml_.Property("mlt_service", "frei0r.cairogradient");
    Mark("gradient", "frei0r.cairogradient");
    xml_.Close();
  }
}

// The dynamic text filter: Shotcut's "Text: Simple", Kdenlive's "Dynamic Text", over the
// title's images.
void MltGraph::TextFilter(const ExportPiece& piece) {
  const TimelineItem& item = *piece.item;
  // Each image at its own aspect, as large as fits the frame, centred; a later one over an
  // earlier. Kdenlive has no effect that shows an image, so its projects put them on a track of
  // their own (and lay out no images here).
  for (const MediaReference* image : piece.images) {
    xml_.Open("filter");
    if (ImageLoadersMisread(image->path)) {
      xml_.Property("resource", "avformat:" + FfmpegImageResource(image->path));
      xml_.Property("producer.force_fps", ffmpegImageRate);
    } else {
      xml_.Property("resource", image->path);
    }
    xml_.Property("composite.halign", "centre");
    xml_.Property("composite.valign", "centre");
    xml_.Property("composite.fill", 1);
    xml_.Property("mlt_service", "watermark");
    xml_.Close();
  }
  const auto shown = std::find_if(item.texts.begin(), item.texts.end(),
                                  [](const TitleText& text) { return !text.namesMedia; });
  xml_.Open("filter");
  xml_.Property("argument", piece.caption);
  if (shown != item.texts.end()) {
    const std::string family = timeline_.Decoded(shown->font);
    if (!family.empty()) xml_.Property("family", family);
    const int size = shown->size > 0 ? shown->size : 48;
    xml_.Property("size", size);
    if (dialect_ == MltDialect::Shotcut) {
      // Shotcut scales a text filter to its frame unless told the size is the font's own.
      xml_.Property("shotcut:usePointSize", 1);
      xml_.Property("shotcut:pointSize", size);
    }
  }
  xml_.Property("geometry", "0%/0%:100%x100%:100");
  xml_.Property("fgcolour", "0xffffffff");
  xml_.Property("bgcolour", "0x00000000");
  xml_.Property("olcolour", "0x000000ff");
  xml_.Property("outline", 1);
  xml_.Property("halign", "center");
  xml_.Property("valign", "middle");
  xml_.Property("mlt_service", "dynamictext");
  Mark("dynamicText", "dynamictext");
  xml_.Close();
}

}  // namespace pexol
