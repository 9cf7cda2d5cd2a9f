// media/MissingMediaList.cpp - the message's list of missing media, cut off after 19 names
#include "media/MissingMediaList.h"

#include "core/Translation.h"

namespace pexol {

namespace {

// The list stops at this many missing names; a report keeps them all.
constexpr int listLimit = 20;
constexpr std::string_view cutOff = ToTranslate("e.t.c..\n");

}  // namespace

void MissingMediaList::Section(std::string_view heading) {
  text_ += heading;
  text_ += '\n';
}

void MissingMediaList::Add(std::string_view name, std::string_view why) {
  ++count_;
  if (count_ < listLimit) {
    text_ += name;
    text_ += why;
    text_ += '\n';
  } else if (count_ == listLimit) {
    text_ += Tr(cutOff);
  }
}

}  // namespace pexol
