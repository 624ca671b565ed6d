#pragma once
// The known option a mistyped one was most likely meant to be, so that a
// refusal can say "did you mean --out?".

#include <string>
#include <vector>

namespace nvpack {

// The option of `known` nearest to `given` (edits of one character: insert,
// delete, replace, ASCII case ignored), if it is at most two edits and
// fewer than half its length away; the first of equally near ones. Empty
// when none is that near.
std::string closestOption(const std::string& given, const std::vector<std::string>& known);

}  // namespace nvpack
