#pragma once
// The launcher's own environment, which the programs it starts inherit.

#include "foundation/LauncherString.h"

namespace nv {

// The variable's value; empty when it is unset or empty.
LauncherString environmentValue(const LauncherString& name);

// Whether the variable is set at all (an empty value counts as set).
bool environmentHas(const LauncherString& name);

// Sets the variable in the launcher's environment.
void setEnvironmentValue(const LauncherString& name, const LauncherString& value);

// Removes the variable from the launcher's environment.
void clearEnvironmentValue(const LauncherString& name);

}  // namespace nv
