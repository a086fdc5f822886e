// The engine's error report: prints an engine error with its message, pushes
// a record on the engine's error stack for the trace, prints the trace and
// breaks into the debugger.
#pragma once

// code indexes ZelSystem::EngineErrorCodeStrings; file and line name the
// place that reports.
void zelErrorReport(int code, const char* message, const char* file, int line);
