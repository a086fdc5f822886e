// The engine's error record and the texts of its error codes.
#include "engine/zelmem/zelmem.h"

ZelErrorRecord* ZelError::Error = nullptr;
int ZelError::NError = 0;
int ZelError::NMaxError = 0;
ZelErrorRecord ZelError::ErrorCopy = {0, nullptr};
signed char ZelError::GoingDown = 0;

int ZelSystem::EngineErrors = 0;

const char ZelSystem::EngineErrorCodeStrings[ZelSystem::EngineErrorCodeCount][80] = {
    "No error",
    "Out of memory",
    "Unable to read data",
    "File not found",
    "Invalid file format",
    "Invalid argument",
    "Device error",
    "Internal error",
};
