// Fault injection for tests of out-of-memory paths: from a chosen allocation
// on, every block allocation fails.
#include <cstdlib>

#include "engine/zelmem/internal.h"

namespace {

unsigned long g_failAfter = 0;  // 0: never
unsigned long g_allocations = 0;

__attribute__((constructor)) void readFailAfterAtLoad()
{
    if (const char* env = std::getenv("ZEL_MEM_FAIL_AFTER"))
        g_failAfter = std::strtoul(env, nullptr, 10);
}

}  // namespace

namespace zelmem {

bool allocationFails()
{
    ++g_allocations;
    return g_failAfter != 0 && g_allocations >= g_failAfter;
}

}  // namespace zelmem

void ZelMem::SetFailAfter(unsigned long n)
{
    std::lock_guard lock(zelmem::g_lock);
    g_failAfter = n;
    g_allocations = 0;
}

unsigned long ZelMem::AllocationCount()
{
    std::lock_guard lock(zelmem::g_lock);
    return g_allocations;
}
