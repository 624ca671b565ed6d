#pragma once
// nvjvm as a program: its options --help and --version, its messages and its
// exit codes (0 done, 1 refused input, 2 wrong usage; see UsageError).

#include <ostream>
#include <string>
#include <vector>

namespace nvjvm {

// Runs nvjvm for the arguments after the program's name: the figures of the
// archive go to `out`, errors to `err`. Returns the exit code.
int runNvjvm(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace nvjvm
