// cli/PlanJsonLine.h - a planned command line as one JSON line any reader takes
#pragma once

#include <string>
#include <vector>

namespace pexol::cli {

/// `{"argv":[...]}` for `arguments`. Bytes that are not UTF-8 (a folder named in Shift-JIS)
/// are written as the lone surrogates U+DC80..U+DCFF, as Python's "surrogateescape" reads
/// them, so that `subprocess.run(json.loads(line)["argv"])` passes the exact bytes; such a
/// line also has "argvBytes", every argument escaped as check's "stored" (\\ and \xNN, the
/// rest printable ASCII), from which any reader recovers them.
std::string PlanJsonLine(const std::vector<std::string>& arguments);

}  // namespace pexol::cli
