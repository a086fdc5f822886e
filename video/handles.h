// The memory handles the library holds its blocks through (HClass, HSimple,
// HAny): value types of the memory library, which owns the handle table.
#pragma once

#include "engine/zelmem/handles.h"
