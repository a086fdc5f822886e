// Font files: loaded into a slot, used for text, measured and unloaded.
#include <cstring>

#include "font/font.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    zelfuzz::startVideo();
    const std::string path = zelfuzz::writeInput("input.fnt", data, size);
    zelfuzz::LeakCheck leaks;
    HClass<ZelFile> file = ZelDiskFile::create();
    if (!file.resolves() || !file->open(path.c_str(), 1)) {
        file.destroy();
        return 0;
    }
    const int slot = ZelFont::load(file);
    file->close();
    file.destroy();
    if (slot < 0)
        return 0;

    // Every code once, with a newline in the middle and wrapped text.
    char text[257];
    for (int c = 1; c < 256; ++c)
        text[c - 1] = static_cast<char>(c);
    text[255] = '\0';
    const int previous = ZelFont::getFont();
    ZelFont::setFont(slot);
    ZelFont::put(-3, 2, text, 17);
    ZelFont::putFormat(32, 24, text, 1, 40);
    int count = 0;
    ZelFont::countVisibleWords(text, count, ZelFont::getWidth(text) / 3);
    ZelFont::countVisibleChars(text, count, ZelFont::getHeight(text));
    ZelFont::setFont(previous);
    ZelFont::unload(slot);
    return 0;
}
