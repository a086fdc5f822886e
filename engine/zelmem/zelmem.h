// zelmem: the engine's memory library. A table of 16-bit handles over movable
// blocks, a temporary heap for objects, block labels for leak reports, the
// configuration store, the search path and the engine's error record.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

#define ZELMEM_API __attribute__((visibility("default")))

template <class T> class HAny;

// The handle table as callers may read it. Handles 1..count have an entry;
// entry[h - 1] is 0, or has bit 31 set, when no block is present for h.
// Otherwise its low bits describe the block (see ZelMemEntryBits).
struct ZelHandleTable {
    unsigned short count;
    const uint32_t* entry;
};

// Meaning of the low bits of a present entry word.
enum ZelMemEntryBits : uint32_t {
    ZelMemEntryPresent = 1u << 0,   // a block is attached
    ZelMemEntryMovable = 1u << 1,   // the block may move between calls
    ZelMemEntrySwapable = 1u << 2,  // the block may be swapped out (never done here)
    ZelMemEntryTable = 1u << 3,     // allocated by the table (MallocPtr), not AddPtr
    ZelMemEntryAbsent = 1u << 31,   // set when the block is not in memory
};

class ZELMEM_API ZelMemHandles {
public:
    static constexpr unsigned short NullHandle = 65535;
    static constexpr unsigned MaxHandles = 65534;

    static ZelHandleTable Handles;

    // Allocates size bytes behind a new handle stored in handle; 65535 on failure.
    static void MallocPtr(unsigned short& handle, unsigned size);
    // Resizes the block of handle, keeping contents and handle. Returns the new
    // address, or null when the block could not be resized (the old one stays).
    static void* ReallocPtr(unsigned short handle, unsigned size);
    // Frees the block of a table handle; the handle entry stays until RemoveHandle.
    static void FreePtr(unsigned short handle);
    // Gives the entry back and sets handle to 65535.
    static void RemoveHandle(unsigned short& handle);
    static void* GetPtr(unsigned short handle);
    // Replaces the entry's pointer; null detaches a block before it is freed.
    static void SetPtr(unsigned short handle, const void* ptr);
    // Registers a temporary-heap block (or any object the caller keeps alive)
    // and returns its handle; 65535 when the table is full.
    static unsigned short AddPtr(const void* ptr);
    // The handle whose entry points at ptr, or 65535. For code that holds only
    // a record's address and must find it again after memory may have moved.
    static unsigned short FindHandle(const void* ptr);
};

class ZELMEM_API ZelMEMTmp {
public:
    static void* Malloc(unsigned size);
    // Keeps the contents; null block acts as Malloc. Null on failure, the old
    // block then stays valid.
    static void* Realloc(void* block, unsigned size);
    static void Free(void* block);
    // Frees the block and nulls the caller's pointer.
    static void FreeVolatile(void*& block);
};

// One live block of the report.
struct ZelMemBlockInfo {
    std::string label;      // "" when the block was never labelled
    unsigned size;
    unsigned short handle;  // 65535 for a temporary-heap block not in the table
};

class ZELMEM_API ZelMem {
public:
    // Attaches a copy of the text label to block; a null block is ignored.
    static void SetPtrData(const void* block, const void* label);
    // The label of a block, or null when it has none or is not a block.
    static const char* GetPtrData(const void* block);
    // Pins a handle's block in place.
    static void ClrMovable(HAny<void> handle);
    // Allows a handle's block to be swapped out. This stand-in never swaps;
    // the attribute is recorded in the entry word.
    static void SetSwapable(HAny<void> handle);
    // Size in bytes of a block of either heap; 0 for anything else.
    static unsigned GetPtrSize(const void* block);
    // A debugging break that returns: counts the call and, when ZEL_MEM_TRAP=1,
    // raises SIGTRAP for an attached debugger.
    static void CallDebugger();
    static unsigned DebuggerCalls();

    // Live-block report, for leak checks: every block of either heap still
    // allocated, oldest first.
    static std::vector<ZelMemBlockInfo> LiveBlocks();
    static void ReportLiveBlocks(std::ostream& out);

    // Stress mode: when on, every allocation first moves every movable table
    // block to a new address and poisons the old one. Read from ZEL_MEM_MOVE=1
    // when the library loads; tests may switch it.
    static bool MoveOnAlloc();
    static void SetMoveOnAlloc(bool on);

    // Fault injection: allocation n (counted from 1 at this call) and every
    // later one fail, as if memory had run out; 0 turns it off. Read from
    // ZEL_MEM_FAIL_AFTER=N when the library loads. Every block allocation of
    // either heap counts, resizes included.
    static void SetFailAfter(unsigned long n);
    // Block allocations counted since the last SetFailAfter (or the load).
    static unsigned long AllocationCount();
    // Every allocation or resize above bytes fails; 0 (the default) lifts the
    // ceiling. Lets a test feed files that claim enormous sizes.
    static void SetLargestAllocation(std::size_t bytes);
};

class ZELMEM_API ZelSystem {
public:
    // Writes the configured text of key, else def, NUL-terminated, into out
    // (at most size bytes) and returns out. Looked up in order: values set with
    // SetRegistryString, the environment variable ZEL_<key>, the file named by
    // ZEL_CONFIG or else ./zel.ini (lines "key = value"; keys without regard
    // to case; ';' and '#' comments and [section] lines ignored), then def.
    static char* GetRegistryString(const char* key, const char* def, char* out, int size);
    // Sets a process-local value that wins over every other source; a null
    // value removes it again.
    static void SetRegistryString(const char* key, const char* value);

    // Directories searched by SearchPath, separated by ':'. Writable: callers
    // may replace it for one search and restore it.
    static constexpr int AppendPathSize = 1024;
    static char AppendPath[AppendPathSize];
    // Finds name in the directories of AppendPath (file names matched without
    // regard to case when the exact name is missing). Writes the path into out
    // (512 bytes) and returns out, or null when not found.
    static constexpr int FoundPathSize = 512;
    static char* SearchPath(char* out, const char* name);
    // Module file name of a driver name, at most 79 characters: the name as
    // given, with ".drv" appended when its last component has no extension.
    static char* AsDeviceName(char* out, const char* name);
    // Resolves path component by component, matching a missing component
    // without regard to case. Returns the existing path, or "" when none.
    static std::string MatchPathNoCase(const std::string& path);
    // The regular file at path, else one whose path differs only in letter
    // case (MatchPathNoCase); "" when neither is a regular file.
    static std::string FindRegularFile(const std::string& path);

    // Code of the latest engine error, and the text of every code.
    static int EngineErrors;
    static constexpr int EngineErrorCodeCount = 8;
    static const char EngineErrorCodeStrings[EngineErrorCodeCount][80];
};

// The engine's error record, read and written directly by its users.
struct ZelErrorRecord {
    int32_t line;
    const char* file;
};

class ZELMEM_API ZelError {
public:
    static ZelErrorRecord* Error;  // stack of records in a temporary-heap block
    static int NError;             // records in the stack
    static int NMaxError;          // capacity of the block, in records
    static ZelErrorRecord ErrorCopy;
    static signed char GoingDown;
};
