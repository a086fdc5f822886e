#include "tools/zeltool/cli.h"

#include <cerrno>
#include <cstdlib>

#include "tools/zeltool/errors.h"

namespace zeltool {

std::optional<std::string> Args::option(const std::string& name) const
{
    const auto it = options.find(name);
    if (it == options.end())
        return std::nullopt;
    return it->second;
}

namespace {

bool takesValue(const Command& command, const std::string& option)
{
    for (const std::string& o : command.valueOptions)
        if (o == option)
            return true;
    return false;
}

// A whole number in the given base (0: decimal, or hex with 0x), nothing
// else; nullopt otherwise.
std::optional<long> parseLong(const std::string& text, int base)
{
    if (text.empty() || text.find_first_of(" \t\n") != std::string::npos)
        return std::nullopt;
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text.c_str(), &end, base);
    if (*end != '\0' || errno == ERANGE)
        return std::nullopt;
    return value;
}

std::vector<std::string> split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t at = text.find(separator, start);
        parts.push_back(text.substr(start, at - start));
        if (at == std::string::npos)
            return parts;
        start = at + 1;
    }
}

long parseIn(const std::string& option, const std::string& text, long low, long high, const char* what,
             int base = 10)
{
    const std::optional<long> v = parseLong(text, base);
    if (!v || *v < low || *v > high)
        throw UsageError{option + " expects " + what + ", not '" + text + "'"};
    return *v;
}

}  // namespace

Args parseArgs(const Command& command, int argc, char** argv, int first)
{
    Args args;
    for (int i = first; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            args.help = true;
        } else if (arg == "--version") {
            args.version = true;
        } else if (arg.size() > 1 && arg[0] == '-') {
            if (!takesValue(command, arg))
                throw UsageError{"unknown option " + arg};
            if (i + 1 >= argc)
                throw UsageError{arg + " needs a value"};
            args.options[arg] = argv[++i];
        } else {
            args.positional.push_back(arg);
        }
    }
    if (args.help || args.version)
        return args;
    const std::size_t n = args.positional.size();
    if (n < command.minArgs)
        throw UsageError{"missing arguments: expected " + std::string(command.synopsis)};
    if (n > command.maxArgs)
        throw UsageError{"too many arguments: '" + args.positional[command.maxArgs] + "'"};
    for (const std::string& p : args.positional)
        if (p.empty())
            throw UsageError{"an empty file name"};
    return args;
}

IntPair parsePair(const std::string& option, const std::string& text, char separator)
{
    const std::vector<std::string> parts = split(text, separator);
    const char* what = separator == ',' ? "two whole numbers X,Y" : "a size WxH";
    if (parts.size() != 2)
        throw UsageError{option + " expects " + what + ", not '" + text + "'"};
    const long lim = 1L << 30;
    return {static_cast<int>(parseIn(option, parts[0], -lim, lim, what)),
            static_cast<int>(parseIn(option, parts[1], -lim, lim, what))};
}

zelassets::Rgb parseRgb(const std::string& option, const std::string& text)
{
    const std::vector<std::string> parts = split(text, ',');
    const char* what = "a colour R,G,B of three numbers 0 to 255";
    if (parts.size() != 3)
        throw UsageError{option + " expects " + what + ", not '" + text + "'"};
    const auto component = [&](const std::string& p) {
        return static_cast<std::uint8_t>(parseIn(option, p, 0, 255, what));
    };
    return {component(parts[0]), component(parts[1]), component(parts[2])};
}

int parseIntIn(const std::string& option, const std::string& text, int low, int high)
{
    const std::string what = "a number from " + std::to_string(low) + " to " + std::to_string(high);
    return static_cast<int>(parseIn(option, text, low, high, what.c_str(), 0));
}

}  // namespace zeltool

namespace zeltool {

const char* versionText()
{
    return "zeltool (zelgfx) " ZELTOOL_VERSION "\n"
           "The asset tool of the zel engine's graphics library; zlib licence.\n";
}

}  // namespace zeltool
