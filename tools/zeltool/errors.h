// How zeltool reports failure: problems with a file end the run with exit
// code 1, mistakes on the command line with exit code 2. main() catches both
// and prints them as one line.
#pragma once

#include <string>
#include <utility>

namespace zeltool {

// The content of an input cannot be used; the caller knows which file it is.
struct FormatError {
    std::string problem;
};

// A file cannot be read, written or used: "zeltool: FILE: problem", or
// "zeltool: problem" when file is empty because the problem names it.
struct FileError {
    std::string file;
    std::string problem;
};

// The command line is wrong: "zeltool COMMAND: message (see ... --help)".
struct UsageError {
    std::string message;
};

// Runs f and turns a FormatError it throws into a FileError naming path.
template <class F>
auto aboutFile(const std::string& path, F&& f) -> decltype(f())
{
    try {
        return std::forward<F>(f)();
    } catch (const FormatError& e) {
        throw FileError{path, e.problem};
    }
}

}  // namespace zeltool
