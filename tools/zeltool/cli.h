// The command line of one subcommand: positional arguments, options with a
// value, and the parsers of option values.
#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "tools/assets/shade_builder.h"

namespace zeltool {

struct Args {
    std::vector<std::string> positional;
    std::map<std::string, std::string> options;  // "--palette" -> value
    bool help = false;
    bool version = false;

    std::optional<std::string> option(const std::string& name) const;
};

// One subcommand: how it is called, what --help says, how it runs.
struct Command {
    const char* name;      // "bitmap import"
    const char* synopsis;  // arguments after the name
    const char* summary;   // one line for the overview
    const char* details;   // the rest of --help
    std::vector<std::string> valueOptions;
    std::size_t minArgs;
    std::size_t maxArgs;
    void (*run)(const Args&);
};

// Splits argv[first..] into positional arguments and the command's options.
// UsageError for an unknown option, a missing value or a wrong count of
// arguments; "--help" or "--version" anywhere only sets help or version.
Args parseArgs(const Command& command, int argc, char** argv, int first);

// Option values; each throws UsageError naming the option.
struct IntPair {
    int a, b;
};
IntPair parsePair(const std::string& option, const std::string& text, char separator);
zelassets::Rgb parseRgb(const std::string& option, const std::string& text);
int parseIntIn(const std::string& option, const std::string& text, int low, int high);

// "zeltool (zelgfx) 0.1.0" and the licence, for --version.
const char* versionText();

}  // namespace zeltool
