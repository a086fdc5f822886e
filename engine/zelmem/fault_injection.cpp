// Fault injection for tests of out-of-memory paths: from a chosen allocation
// on, every block allocation fails; and a ceiling above which every
// allocation fails, as on a machine with little memory.
#include <cstdlib>

#include "engine/zelmem/internal.h"

namespace {

unsigned long g_failAfter = 0;  // 0: never
unsigned long g_allocations = 0;
std::size_t g_largest = 0;  // 0: no ceiling

__attribute__((constructor)) void readFailAfterAtLoad()
{
    if (const char* env = std::getenv("ZEL_MEM_FAIL_AFTER"))
        g_failAfter = std::strtoul(env, nullptr, 10);
}

}  // namespace

namespace zelmem {

bool allocationFails(std::size_t size)
{
    ++g_allocations;
    if (g_largest != 0 && size > g_largest)
        return true;
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

void ZelMem::SetLargestAllocation(std::size_t bytes)
{
    std::lock_guard lock(zelmem::g_lock);
    g_largest = bytes;
}
