#pragma once
// The one way to say that an output failed: "Cannot create WHAT "NAME"" (or write, close), with
// the system's words or a reason of the caller's.
#include <string>

#include "core/run_error.h"

namespace ringsmooth {

enum class OutputStep { Create, Write, Close };

// The failure of `step` on the output `what` ("the output listing", "the chronology") named
// `name` ("-" is shown as standard output), in the system's words for `errorNumber`; a file that
// can't be created in a missing folder says "No such folder" and names the folder.
OutputError outputFailure(OutputStep step, const char* what, const std::string& name,
                          int errorNumber);

// The same heading with a reason of the caller's ("It is the input file; ...").
OutputError outputRefused(OutputStep step, const char* what, const std::string& name,
                          std::string reason);

}  // namespace ringsmooth
