// probe/MediaFacts.cpp - the facts of a file to and from their line of JSON, and in a sentence
#include "probe/MediaFacts.h"

#include <charconv>
#include <nlohmann/json.hpp>

#include "core/CountedText.h"
#include "core/Translation.h"

namespace pexol {

namespace {

constexpr MediaKind everyKind[] = {MediaKind::Unknown, MediaKind::Unreadable, MediaKind::Movie,
                                   MediaKind::Still, MediaKind::Sound};

nlohmann::json FractionJson(const Fraction& fraction) {
  return {fraction.numerator, fraction.denominator};
}

Fraction FractionOf(const nlohmann::json& value) {
  if (!value.is_array() || value.size() != 2 || !value[0].is_number_integer() ||
      !value[1].is_number_integer())
    return {};
  return {value[0].get<int>(), value[1].get<int>()};
}

// 29.97, 25, 23.976: a rate as people write it.
std::string RateText(const Fraction& rate) {
  char text[32];
  const auto end =
      std::to_chars(text, text + sizeof text, rate.Value(), std::chars_format::fixed, 3).ptr;
  std::string out(text, end);
  while (out.back() == '0') out.pop_back();
  if (out.back() == '.') out.pop_back();
  return out;
}

std::string SecondsText(double seconds) {
  char text[32];
  const auto end =
      std::to_chars(text, text + sizeof text, seconds, std::chars_format::fixed, 1).ptr;
  return std::string(text, end) + " s";
}

// A text of the summary: English for the command line's lines and JSON, which programs read,
// or in the chosen language for a person (`shown`).
std::string Worded(bool shown, std::string_view english,
                   std::initializer_list<std::string_view> pieces = {}) {
  return Fill(shown ? Tr(english) : english, pieces);
}

std::string ChannelsText(int channels, bool shown) {
  if (channels == 1) return Worded(shown, ToTranslate("mono"));
  if (channels == 2) return Worded(shown, ToTranslate("stereo"));
  constexpr CountedText several = ToTranslateN("{0} channel", "{0} channels");
  const auto n = static_cast<std::uint64_t>(channels < 0 ? 0 : channels);
  return Fill(shown ? TrN(several.singular, several.plural, n) : EnglishN(several, n),
              {std::to_string(channels)});
}

std::string Summary(const MediaFacts& facts, bool shown) {
  if (facts.kind == MediaKind::Unknown) return Worded(shown, ToTranslate("not probed"));
  if (facts.kind == MediaKind::Unreadable && facts.crashSignal != 0)
    return Worded(shown, crashedReading, {std::to_string(facts.crashSignal)});
  if (facts.kind == MediaKind::Unreadable && facts.error == noPicturesNorSound)
    return Worded(shown, noPicturesNorSound);
  if (facts.kind == MediaKind::Unreadable)
    return Worded(shown, ToTranslate("FFmpeg could not read it: {0}"), {facts.error});
  std::string text = facts.containerLabel.empty() ? facts.container : facts.containerLabel;
  if (facts.HasVideo() && facts.kind != MediaKind::Still) {
    text += ", " + facts.videoCodecLabel;
    if (!facts.fourcc.empty()) text += " (" + facts.fourcc + ")";
  }
  if (facts.HasVideo()) {
    text += " " + std::to_string(facts.width) + "x" + std::to_string(facts.height);
    if (facts.kind == MediaKind::Movie && facts.frameRate.Known())
      text += " " + Worded(shown, ToTranslate("{0} fps"), {RateText(facts.frameRate)});
  }
  if (facts.HasAudio())
    text += ", " + facts.audioCodecLabel + " " +
            Worded(shown, ToTranslate("{0} Hz"), {std::to_string(facts.sampleRate)}) + " " +
            ChannelsText(facts.channels, shown);
  if (facts.kind != MediaKind::Still && facts.seconds > 0)
    text += ", " + SecondsText(facts.seconds);
  return text;
}

}  // namespace

std::string_view KindName(MediaKind kind) {
  switch (kind) {
    case MediaKind::Unreadable:
      return "unreadable";
    case MediaKind::Movie:
      return "movie";
    case MediaKind::Still:
      return "still";
    case MediaKind::Sound:
      return "sound";
    case MediaKind::Unknown:
      break;
  }
  return "unknown";
}

std::string FactsLine(const MediaFacts& facts) {
  nlohmann::json line = {{"type", "probe"}, {"kind", KindName(facts.kind)}};
  if (facts.kind == MediaKind::Unreadable) line["error"] = facts.error;
  if (facts.Read()) {
    line["container"] = facts.container;
    line["containerLabel"] = facts.containerLabel;
  }
  if (facts.HasVideo()) {
    line["videoCodec"] = facts.videoCodec;
    line["videoCodecLabel"] = facts.videoCodecLabel;
    if (!facts.fourcc.empty()) line["fourcc"] = facts.fourcc;
    line["pixelFormat"] = facts.pixelFormat;
    line["width"] = facts.width;
    line["height"] = facts.height;
    line["sampleAspect"] = FractionJson(facts.sampleAspect);
    if (!facts.fieldOrder.empty()) line["fieldOrder"] = facts.fieldOrder;
    if (facts.kind == MediaKind::Movie) {
      line["frameRate"] = FractionJson(facts.frameRate);
      line["frames"] = facts.frames;
    }
  }
  if (facts.Read() && facts.kind != MediaKind::Still) line["seconds"] = facts.seconds;
  if (facts.HasAudio()) {
    line["audioCodec"] = facts.audioCodec;
    line["audioCodecLabel"] = facts.audioCodecLabel;
    line["sampleRate"] = facts.sampleRate;
    line["channels"] = facts.channels;
  }
  if (facts.timecode) line["timecode"] = true;
  return line.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

std::optional<MediaFacts> FactsOfLine(std::string_view line) {
  const nlohmann::json object = nlohmann::json::parse(line.begin(), line.end(), nullptr, false);
  if (!object.is_object() || object.value("type", "") != "probe") return std::nullopt;
  MediaFacts facts;
  const std::string kind = object.value("kind", "");
  for (const MediaKind each : everyKind)
    if (kind == KindName(each)) facts.kind = each;
  // A line of another build may hold what this one does not know; the types are checked.
  try {
    facts.error = object.value("error", "");
    facts.container = object.value("container", "");
    facts.containerLabel = object.value("containerLabel", "");
    facts.videoCodec = object.value("videoCodec", "");
    facts.videoCodecLabel = object.value("videoCodecLabel", "");
    facts.fourcc = object.value("fourcc", "");
    facts.pixelFormat = object.value("pixelFormat", "");
    facts.width = object.value("width", 0);
    facts.height = object.value("height", 0);
    if (object.contains("sampleAspect")) facts.sampleAspect = FractionOf(object["sampleAspect"]);
    facts.fieldOrder = object.value("fieldOrder", "");
    if (object.contains("frameRate")) facts.frameRate = FractionOf(object["frameRate"]);
    facts.frames = object.value("frames", std::int64_t{0});
    facts.seconds = object.value("seconds", 0.0);
    facts.audioCodec = object.value("audioCodec", "");
    facts.audioCodecLabel = object.value("audioCodecLabel", "");
    facts.sampleRate = object.value("sampleRate", 0);
    facts.channels = object.value("channels", 0);
    facts.timecode = object.value("timecode", false);
  } catch (const nlohmann::json::exception&) {
    return std::nullopt;
  }
  return facts;
}

std::string FactsSummary(const MediaFacts& facts) {
  return Summary(facts, false);
}

std::string FactsSummaryShown(const MediaFacts& facts) {
  return Summary(facts, true);
}

}  // namespace pexol
