// export/aaf/AafMetaDictionary.h - the definitions of every class and type the file uses
#pragma once

#include <memory>

#include "export/aaf/AafObject.h"

namespace pexol::aaf {

/// The meta-dictionary: a class definition for each class of the model's table (each with its
/// properties) and a type definition for each of its types.
std::unique_ptr<Object> MetaDictionary();

}  // namespace pexol::aaf
