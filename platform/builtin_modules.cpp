// The table of modules linked into the program. A program that cannot load
// modules from files (in a web browser, say) carries its drivers inside
// itself; the library finds, links and counts them exactly as it does a
// module file.

#include "platform/builtin_modules.h"

#include <strings.h>

#include <cstring>

#include "video/last_error.h"

namespace {

struct BuiltinModule {
    char name[ZelBuiltinModuleNameSize] = "";  // empty: a free slot
    const ZelModuleExport* exports = nullptr;
    int references = 0;
};

BuiltinModule table[ZelBuiltinModuleSlots];

// The handle of a module is the address of its slot: never below 32, and
// never a handle that dlopen answers.
BuiltinModule* slotOf(HMODULE module)
{
    for (BuiltinModule& slot : table)
        if (slot.name[0] && reinterpret_cast<HMODULE>(&slot) == module)
            return &slot;
    return nullptr;
}

BuiltinModule* find(const char* name)
{
    for (BuiltinModule& slot : table)
        if (slot.name[0] && strcasecmp(slot.name, name) == 0)
            return &slot;
    return nullptr;
}

}  // namespace

int AddBuiltinModule(const char* fileName, const ZelModuleExport* exports)
{
    if (!fileName || !*fileName || !exports) {
        zelSetError("a built-in module needs a name and a table of exports");
        return 0;
    }
    if (std::strlen(fileName) >= ZelBuiltinModuleNameSize) {
        zelSetError("the name of the built-in module %s is longer than %d characters", fileName,
                    ZelBuiltinModuleNameSize - 1);
        return 0;
    }
    if (find(fileName)) {
        zelSetError("the module %s is already built in", fileName);
        return 0;
    }
    for (BuiltinModule& slot : table) {
        if (!slot.name[0]) {
            std::strcpy(slot.name, fileName);
            slot.exports = exports;
            return 1;
        }
    }
    zelSetError("cannot build in the module %s: all %d slots are in use", fileName, ZelBuiltinModuleSlots);
    return 0;
}

HMODULE loadBuiltinModule(const char* name)
{
    BuiltinModule* slot = find(name);
    if (!slot)
        return 0;
    ++slot->references;
    return reinterpret_cast<HMODULE>(slot);
}

bool isBuiltinModule(HMODULE module)
{
    return slotOf(module) != nullptr;
}

void* builtinProcAddress(HMODULE module, const char* name)
{
    const BuiltinModule* slot = slotOf(module);
    if (!slot || slot->references == 0 || !name)
        return nullptr;
    for (const ZelModuleExport* e = slot->exports; e->name; ++e)
        if (std::strcmp(e->name, name) == 0)
            return e->address;
    return nullptr;
}

int freeBuiltinModule(HMODULE module)
{
    BuiltinModule* slot = slotOf(module);
    if (!slot || slot->references == 0)
        return 0;
    --slot->references;
    return 1;
}
