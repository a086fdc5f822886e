// State shared by the zelmem sources: the handle table arrays, the address
// map that knows every block and every address named by a handle, and the
// lock that guards both. Not installed; only zelmem's own sources include it.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string_view>
#include <unordered_map>

#include "engine/zelmem/zelmem.h"

namespace zelmem {

constexpr unsigned short kNull = ZelMemHandles::NullHandle;
constexpr unsigned kMaxHandles = ZelMemHandles::MaxHandles;

// Guards the table, the address map and the block sequence. GetPtr reads the
// table without it: the table is meant for one thread at a time anyway, the
// lock only keeps the heaps consistent when several threads allocate.
extern std::mutex g_lock;

// Table storage: word and pointer of handle h live at index h - 1.
extern uint32_t g_entry[kMaxHandles];
extern void* g_ptr[kMaxHandles];

// What is known about one address: a block of either heap and/or the target
// of one or more handles. An address that is neither has no node.
struct Node {
    unsigned size = 0;
    bool block = false;       // allocated here (table block or temporary block)
    bool tableBlock = false;  // allocated by MallocPtr / ReallocPtr
    uint64_t seq = 0;         // allocation order, for the oldest-first report
    std::unique_ptr<char[]> label;
    unsigned short handle = kNull;  // one handle naming the address
    unsigned short moreHandles = 0; // how many other handles name it
};

using NodeMap = std::unordered_map<const void*, Node>;

// The map lives on the heap and is never destroyed, so it stays usable from
// other libraries' static initialisers and from the exit report.
NodeMap& nodes();
Node* findNode(const void* p);

// All of these expect g_lock held.

// Allocates a block (at least one byte, so every block has its own address)
// and records it. Null on failure.
void* allocBlock(unsigned size, bool table);
// Resizes a known block, moving its node and retargeting the handles that
// name it. Null on failure (the block stays).
void* reallocBlock(void* p, unsigned size);
// Detaches every handle naming p, forgets p and frees it. False when p is not
// a block of this library (nothing is done then).
bool freeBlock(void* p);
// Makes every handle naming `from` name `to` and moves the node to the new key.
void rehome(const void* from, void* to);
// Clears every table entry naming p (node n) and forgets those handles in n.
void detachAllHandles(const void* p, Node& n);
// Stress mode: moves every movable table block when it is switched on.
void moveBeforeAlloc();
// Counts one block allocation and tells whether fault injection makes it fail.
bool allocationFails(std::size_t size);
// ASCII letter case, for names matched without regard to it.
inline char lowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

inline bool equalNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (lowerAscii(a[i]) != lowerAscii(b[i]))
            return false;
    return true;
}

// Reports a bad pointer handed to the heap, once per process.
void reportBadPointer(const char* what, const void* p);

} // namespace zelmem
