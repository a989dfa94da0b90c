#pragma once

#include "core/settings_store.h"

#include <cstdio>

namespace kestrum {

// kestrum --set-web-password: one line from the input (not echoed on a terminal) becomes the
// web panel's password, of which only the hash is stored. Returns the exit status; what went
// wrong is said on standard error.
int setWebPasswordFrom(std::FILE* input, SettingsStore& store);

}  // namespace kestrum
