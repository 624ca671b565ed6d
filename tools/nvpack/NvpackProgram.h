#pragma once
// nvpack as a program: its options --help and --version, its messages and
// its exit codes (0 done, 1 refused input, 2 wrong usage; see UsageError).

#include <ostream>
#include <string>
#include <vector>

namespace nvpack {

// Runs nvpack for the arguments after the program's name: the report goes
// to `out`, warnings and errors to `err`. Returns the exit code.
int runNvpack(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace nvpack
