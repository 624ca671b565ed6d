#pragma once
// Whether loading the launcher file also dispatches its entries: parses the
// instruction program, the JVM files and the launch script from them. Only
// reading the index suits -nv:extract, which needs no program.

namespace nv {

enum class Dispatch { no, yes };

}  // namespace nv
