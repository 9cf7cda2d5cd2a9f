// export/aaf/AafMetaDictionary.h - the definitions of every class and type the file uses
#pragma once

#include "export/aaf/AafObject.h"

namespace pexol::aaf {

/// Fills the meta-dictionary: a class definition for each class of the model's table (each with
/// its properties) and a type definition for each of its types.
void FillMetaDictionary(Node& dictionary);

}  // namespace pexol::aaf
