#pragma once

#include "app/windows_generation.h"

namespace kestrum {

// The true version numbers from the system (not the compatibility-shimmed ones); all zero
// when the query routine cannot be found.
OsVersion QueryTrueOsVersion();

// WindowsGenerationOf(QueryTrueOsVersion()).
int WindowsGeneration();

}  // namespace kestrum
