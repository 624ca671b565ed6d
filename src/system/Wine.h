#pragma once
// Whether the launcher runs under Wine, for the few places where Wine's
// behaviour differs from Windows in a way that could do harm.

namespace nv {

// True when the system is Wine (its ntdll exports wine_get_version).
bool runsUnderWine();

}  // namespace nv
