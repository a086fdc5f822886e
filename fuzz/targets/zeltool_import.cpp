// zeltool's readers, run as its commands run them: the first byte chooses
// the command, the rest is its input file. Errors the tool reports to its
// user are expected; anything else is a finding.
#include <new>

#include "fuzz/fuzz_support.h"
#include "tools/zeltool/commands.h"
#include "tools/zeltool/errors.h"

namespace {

using zeltool::Args;
using zeltool::Command;

struct Use {
    const Command* command;
    const char* inputName;
    const char* outputName;
    const char* option;  // one option and its value, null when not given
    const char* value;
};

const Use Uses[] = {
    {&zeltool::BitmapImport, "in.bin", "out.zbm", nullptr, nullptr},
    {&zeltool::BitmapInfo, "in.bin", nullptr, nullptr, nullptr},
    {&zeltool::BitmapExport, "in.bin", "out.png", nullptr, nullptr},
    {&zeltool::PaletteImport, "in.bin", "out.pal", nullptr, nullptr},
    {&zeltool::FontBuild, "in.bin", "out.fnt", nullptr, nullptr},
    {&zeltool::FontBuild, "in.bin", "out.fnt", "--cell", "6x9"},
    {&zeltool::AggregateCommand, "in.bin", "out.zbm", nullptr, nullptr},
    {&zeltool::ShadeCommand, "in.bin", "out", nullptr, nullptr},
    {&zeltool::BitmapImport, "in.bin", "out.zbm", "--make-palette", "made.pal"},
    {&zeltool::BitmapImport, "in.bin", "out.zbm", "--frame", "1"},
    {&zeltool::FontBuild, "in.bin", "out.fnt", "--size", "9"},
};

Args argsFor(const Use& use, const std::string& input)
{
    Args args;
    if (use.command == &zeltool::AggregateCommand) {
        args.positional = {zelfuzz::inputDir() + use.outputName, input, input};
        return args;
    }
    args.positional = {input};
    if (use.outputName)
        args.positional.push_back(zelfuzz::inputDir() + use.outputName);
    if (use.option)
        args.options[use.option] = std::string(use.value).find('.') == std::string::npos
                                       ? use.value
                                       : zelfuzz::inputDir() + use.value;
    return args;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    zelfuzz::startVideo();
    zelfuzz::ByteReader in(data, size);
    const Use& use = Uses[in.byte() % (sizeof Uses / sizeof Uses[0])];
    const std::string content = in.rest();
    const std::string input =
        zelfuzz::writeInput(use.inputName, reinterpret_cast<const uint8_t*>(content.data()), content.size());

    zelfuzz::LeakCheck leaks;
    try {
        use.command->run(argsFor(use, input));
    } catch (const zeltool::FileError&) {
    } catch (const zeltool::FormatError&) {
    } catch (const zeltool::UsageError&) {
    } catch (const std::bad_alloc&) {
    }
    return 0;
}
