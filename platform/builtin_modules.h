// Modules linked into the program, as dynlib.cpp serves them beside the
// modules it loads from files.
#pragma once

#include "platform/platform.h"

// The built-in module named name (matched without regard to case), with one
// more reference; 0 when none is.
HMODULE loadBuiltinModule(const char* name);
bool isBuiltinModule(HMODULE module);
// An export of a built-in module still referenced, or null.
void* builtinProcAddress(HMODULE module, const char* name);
// Drops one reference; 0 when none was held.
int freeBuiltinModule(HMODULE module);
