// zeltool: converts pictures, palettes and fonts to and from the engine's
// file formats, and builds shade tables and strip bitmaps.
//
// Exit codes: 0 success, 1 a file could not be read, used or written, 2 the
// command line is wrong. Every failure is one line on stderr.

#include <cstring>
#include <iostream>
#include <new>
#include <string>

#include "tools/zeltool/commands.h"
#include "tools/zeltool/errors.h"

namespace {

using namespace zeltool;

const Command* const Commands[] = {&BitmapImport,  &BitmapExport, &BitmapInfo, &PaletteImport, &PaletteExport,
                                   &ShadeCommand,  &FontBuild,    &FontPreview, &AggregateCommand};

void printOverview()
{
    std::ostream& out = std::cout;
    out << "Usage: zeltool COMMAND ARGUMENTS...\n\n"
           "Converts pictures, palettes and fonts to and from the engine's formats.\n\n";
    for (const Command* c : Commands)
        out << "  zeltool " << c->name << ' ' << c->synopsis << "\n      " << c->summary << '\n';
    out << "\nzeltool COMMAND --help describes one command; zeltool --version names\n"
           "the version. Exit codes: 0 success, 1 a problem with a file, 2 a wrong\n"
           "command line.\n";
}

void printHelp(const Command& c)
{
    std::cout << "Usage: zeltool " << c.name << ' ' << c.synopsis << "\n\n" << c.summary << ".\n\n" << c.details;
}

// Messages may quote file content or names; control characters in them
// would break the one-line report, so they are shown as '?'.
std::string oneLine(std::string text)
{
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            c = '?';
    return text;
}

bool startsWith(const std::string& text, const std::string& prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

// The command named by argv[1] (and argv[2] for a two-word command); sets
// words to how many arguments the name took.
const Command* findCommand(int argc, char** argv, int& words)
{
    const std::string first = argv[1];
    const std::string two = argc > 2 ? first + " " + argv[2] : first;
    for (const Command* c : Commands) {
        if (c->name == two && argc > 2) {
            words = 2;
            return c;
        }
        if (c->name == first) {
            words = 1;
            return c;
        }
    }
    return nullptr;
}

// "zeltool bitmap --help": the commands of that group.
void groupHelp(const std::string& group)
{
    for (const Command* c : Commands)
        if (startsWith(c->name, group + " "))
            std::cout << "  zeltool " << c->name << ' ' << c->synopsis << "\n      " << c->summary << '\n';
}

// "import, export or info"
std::string subcommandsOf(const std::string& group)
{
    std::string list;
    for (const Command* c : Commands)
        if (startsWith(c->name, group + " "))
            list += (list.empty() ? "" : ", ") + std::string(c->name + group.size() + 1);
    const std::size_t last = list.rfind(", ");
    return last == std::string::npos ? list : list.replace(last, 2, " or ");
}

bool isGroup(const std::string& word)
{
    for (const Command* c : Commands)
        if (startsWith(c->name, word + " "))
            return true;
    return false;
}

int runCommand(const Command& c, int argc, char** argv, int first)
{
    try {
        const Args args = parseArgs(c, argc, argv, first);
        if (args.help) {
            printHelp(c);
            return 0;
        }
        if (args.version) {
            std::cout << versionText();
            return 0;
        }
        c.run(args);
        return 0;
    } catch (const UsageError& e) {
        std::cerr << "zeltool " << c.name << ": " << oneLine(e.message) << " (see zeltool " << c.name << " --help)\n";
        return 2;
    } catch (const FileError& e) {
        std::cerr << "zeltool: " << oneLine(e.file.empty() ? e.problem : e.file + ": " + e.problem) << '\n';
        return 1;
    } catch (const FormatError& e) {
        std::cerr << "zeltool: " << oneLine(e.problem) << '\n';
        return 1;
    } catch (const std::bad_alloc&) {
        std::cerr << "zeltool: out of memory\n";
        return 1;
    }
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::cerr << "zeltool: expected a command (see zeltool --help)\n";
        return 2;
    }
    const std::string word = argv[1];
    if (word == "--help" || word == "-h" || word == "help") {
        printOverview();
        return 0;
    }
    if (word == "--version") {
        std::cout << versionText();
        return 0;
    }
    int words = 0;
    if (const Command* c = findCommand(argc, argv, words))
        return runCommand(*c, argc, argv, 1 + words);
    if (isGroup(word)) {
        if (argc > 2 && (std::strcmp(argv[2], "--help") == 0 || std::strcmp(argv[2], "-h") == 0)) {
            groupHelp(word);
            return 0;
        }
        std::cerr << "zeltool " << word << ": expected " << subcommandsOf(word)
                  << (argc > 2 ? ", not '" + oneLine(argv[2]) + "'" : std::string())
                  << " (see zeltool " << word << " --help)\n";
        return 2;
    }
    std::cerr << "zeltool: unknown command '" << oneLine(word) << "' (see zeltool --help)\n";
    return 2;
}
