// SPDX-License-Identifier: MIT
// credcipher-cli as a function of its arguments and streams, the same on every system.
#pragma once

#include <vector>

#include "cli/streams.h"

namespace cli {

enum ExitStatus {
    kExitOk = 0,       // every field has its result (warnings aside)
    kExitRefused = 1,  // --strict refused a field
    kExitUsage = 2,    // bad command line
    kExitIo = 3,       // standard input or output failed
};

int Run(const std::vector<InputField>& args, Streams& streams);

// The help text, with the system's note on the encoding of input and output.
std::string HelpText(const std::string& encodingNote);

}  // namespace cli
