// sections/ExAudioClip.cpp - extra audio lines in both directions
#include "sections/ExAudioClip.h"

#include "core/Translation.h"

namespace pexol {

std::string FormatExAudioLine(const ExAudioClip& clip) {
  return FieldText(clip.name) + "," + std::string(inKey) + std::to_string(clip.in) + "," +
         std::string(outKey) + std::to_string(clip.out) + "," + std::string(beginKey) +
         std::to_string(clip.begin) + "," + FormatLevels(clip.levels);
}

ExAudioClip ParseExAudioLine(std::string_view line) {
  ExAudioClip clip;
  FieldReader fields(line);
  fields.SetLayout(Say("an extra audio clip line reads {0}",
                       "NAME,in=N,out=N,begin=N," + std::string(levelsLayout)));
  clip.name = fields.Text(ToTranslate("the name"));
  clip.in = fields.Number(inKey);
  clip.out = fields.Number(outKey);
  clip.begin = fields.Number(beginKey);
  clip.levels = ParseLevels(fields);
  return clip;
}

}  // namespace pexol
