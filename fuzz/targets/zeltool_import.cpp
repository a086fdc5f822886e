// zeltool's readers, run as its commands run them: the first byte chooses
// the command and its options, the rest is its input file.
#include <iterator>

#include "fuzz/fuzz_support.h"
#include "tools/zeltool/commands.h"

namespace {

struct Use {
    const zeltool::Command* command;
    const char* output;  // null for none
    const char* option;  // one option and its value, null when not given
    const char* value;
};

const Use Uses[] = {
    {&zeltool::BitmapImport, "out.zbm", nullptr, nullptr},
    {&zeltool::BitmapInfo, nullptr, nullptr, nullptr},
    {&zeltool::BitmapExport, "out.png", nullptr, nullptr},
    {&zeltool::PaletteImport, "out.pal", nullptr, nullptr},
    {&zeltool::FontBuild, "out.fnt", nullptr, nullptr},
    {&zeltool::FontBuild, "out.fnt", "--cell", "6x9"},
    {&zeltool::AggregateCommand, "out.zbm", nullptr, nullptr},
    {&zeltool::ShadeCommand, "out", nullptr, nullptr},
    {&zeltool::BitmapImport, "out.zbm", "--make-palette", "made.pal"},
    {&zeltool::BitmapImport, "out.zbm", "--frame", "1"},
    {&zeltool::FontBuild, "out.fnt", "--size", "9"},
};

}  // namespace

ZELFUZZ_TARGET(input)
{
    const Use& use = Uses[input.byte() % std::size(Uses)];
    const std::string in = input.file("in.bin");
    const std::string dir = zelfuzz::inputDir();
    zeltool::Args args;
    // aggregate takes its output first and joins the input to itself.
    if (use.command == &zeltool::AggregateCommand)
        args.positional = {dir + use.output, in, in};
    else if (use.output)
        args.positional = {in, dir + use.output};
    else
        args.positional = {in};
    if (use.option)
        args.options[use.option] = std::string(use.value).find('.') == std::string::npos ? use.value : dir + use.value;
    use.command->run(args);
}
