// The temporary heap: plain blocks without a handle, known to the registry so
// they can be labelled, sized, reported and registered in the table.
#include "engine/zelmem/internal.h"

using namespace zelmem;

void* ZelMEMTmp::Malloc(unsigned size)
{
    std::lock_guard lock(g_lock);
    moveBeforeAlloc();
    return allocBlock(size, false);
}

void* ZelMEMTmp::Realloc(void* block, unsigned size)
{
    if (!block)
        return Malloc(size);
    std::lock_guard lock(g_lock);
    moveBeforeAlloc();
    Node* n = findNode(block);
    if (!n || !n->block) {
        reportBadPointer("Realloc", block);
        return nullptr;
    }
    return reallocBlock(block, size);
}

void ZelMEMTmp::Free(void* block)
{
    if (!block)
        return;
    std::lock_guard lock(g_lock);
    if (!freeBlock(block))
        reportBadPointer("Free", block);
}

void ZelMEMTmp::FreeVolatile(void*& block)
{
    Free(block);
    block = nullptr;
}
