// The engine's error report, kept on the error record of the memory library.

#include "font/error_report.h"

#include <iostream>

#include "engine/zelmem/zelmem.h"

namespace {

constexpr int StackGrowth = 512;  // records added each time the stack is full

// Pushes {line, file} on the error stack, growing its block when full.
// Returns false when the stack could not grow; nothing is pushed then.
bool pushRecord(const ZelErrorRecord& record)
{
    ZelError::ErrorCopy = record;
    ++ZelError::NError;
    if (ZelError::NError > ZelError::NMaxError || !ZelError::Error) {
        const int capacity = ZelError::NMaxError + StackGrowth;
        void* grown = ZelMEMTmp::Realloc(ZelError::Error,
                                         static_cast<unsigned>(capacity) * sizeof(ZelErrorRecord));
        if (!grown) {
            --ZelError::NError;
            return false;
        }
        ZelError::NMaxError = capacity;
        ZelError::Error = static_cast<ZelErrorRecord*>(grown);
        ZelMem::SetPtrData(grown, "ZelError");
    }
    ZelError::Error[ZelError::NError - 1] = record;
    return true;
}

void printRecord(const ZelErrorRecord& record)
{
    std::cout << "File: " << std::flush;
    std::cout << (record.file ? record.file : "<NONAME>") << ", Line: " << std::dec << record.line
              << std::endl;
}

}  // namespace

void zelErrorReport(int code, const char* message, const char* file, int line)
{
    ZelSystem::EngineErrors = code;
    const bool known = code >= 0 && code < ZelSystem::EngineErrorCodeCount;
    std::cout << "ERROR: " << (known ? ZelSystem::EngineErrorCodeStrings[code] : "") << "\n"
              << (message ? message : "") << std::flush;

    const ZelErrorRecord record{line, file};
    const bool pushed = !ZelError::GoingDown && pushRecord(record);

    // The trace, newest record first; the latest error alone when the stack
    // is empty.
    if (ZelError::NError > 0 && ZelError::Error) {
        for (int i = ZelError::NError - 1; i >= 0; --i)
            printRecord(ZelError::Error[i]);
    } else {
        printRecord(ZelError::ErrorCopy);
    }

    ZelMem::CallDebugger();
    if (pushed)
        --ZelError::NError;
}
