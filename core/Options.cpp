// core/Options.cpp - display names of the run options
#include "core/Options.h"

namespace pexol {

std::string_view SoftwareName(Software software) {
  return software == Software::Lumetta ? "Lumetta" : "Corvane, Brisko";
}

}  // namespace pexol
