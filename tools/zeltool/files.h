// Reading inputs whole, writing outputs atomically (through symbolic links,
// never over anything but a regular file), refusing to overwrite an input,
// and the progress line for long work.
#pragma once

#include <string>
#include <vector>

#include "tools/assets/asset_files.h"

namespace zeltool {

using zelassets::Bytes;

// Inputs larger than this are refused before they are read.
constexpr long long MaxInputBytes = 1LL << 30;

// The whole file; FileError when it is missing, not a regular file, too large
// or unreadable.
Bytes readFile(const std::string& path);

struct Output {
    std::string path;
    Bytes bytes;
};

// Writes every output or none: each goes to a temporary file beside the
// file it replaces, and only when all are written are they renamed into
// place. A path that is a symbolic link is written through to the file the
// link leads to, so the link stays. FileError before anything is written
// when an output exists and is not a regular file (a directory, a device),
// and when a write fails.
void writeOutputs(const std::vector<Output>& outputs);
void writeOutput(const std::string& path, const Bytes& bytes);

// FileError when output names the same file as one of the inputs (compared
// by device and inode, so other spellings and links are caught too).
void refuseOverwrite(const std::string& output, const std::vector<std::string>& inputs);

// One line on stderr saying what is being done.
void progress(const std::string& line);

// Lower-case extension of the file name without the dot, "" when none.
std::string extensionOf(const std::string& path);

}  // namespace zeltool
