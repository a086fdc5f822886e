// aggregate: frames of equal width stacked into one strip bitmap, the form
// in which the library draws pieces of an aggregate.

#include <limits>

#include "tools/zeltool/commands.h"
#include "tools/zeltool/errors.h"
#include "tools/zeltool/files.h"
#include "tools/zeltool/pictures.h"

namespace zeltool {

namespace {

void runAggregate(const Args& args)
{
    const std::string& out = args.positional[0];
    const std::vector<std::string> inputs(args.positional.begin() + 1, args.positional.end());
    refuseOverwrite(out, inputs);

    zelassets::AssetBitmap strip;
    std::int64_t height = 0;
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        Picture frame = readIndexedPicture(inputs[i]);
        if (i == 0) {
            strip.width = frame.image.width;
            strip.originX = frame.originX;
            strip.originY = frame.originY;
        } else if (frame.image.width != strip.width) {
            throw FileError{inputs[i], "is " + std::to_string(frame.image.width) + " pixels wide, but the first " +
                                           "frame (" + inputs[0] + ") is " + std::to_string(strip.width)};
        }
        height += frame.image.height;
        if (height * strip.width > std::numeric_limits<std::int32_t>::max() - 20)
            throw FileError{inputs[i], "makes the strip larger than a bitmap can be"};
        strip.pixels.insert(strip.pixels.end(), frame.image.pixels.begin(), frame.image.pixels.end());
    }
    strip.height = static_cast<std::int32_t>(height);
    Bytes bytes;
    zelassets::encodeBitmap(strip, bytes);
    writeOutput(out, bytes);
}

}  // namespace

const Command AggregateCommand{
    "aggregate",
    "OUT.zbm IN1.zbm IN2.zbm ...",
    "stack frames of equal width into one strip bitmap",
    "Each frame (an engine bitmap, or an indexed BMP or PNG) goes below the one\n"
    "before, so frame k starts at the row after the rows of frames 0 to k-1.\n"
    "The strip has the origin point of the first frame. All frames must have the\n"
    "same width.\n",
    {},
    2,
    std::numeric_limits<std::size_t>::max(),
    runAggregate};

}  // namespace zeltool
