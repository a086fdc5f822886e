// Font files: loaded into a slot, used for text, measured and unloaded.
#include "font/font.h"
#include "fuzz/fuzz_support.h"

ZELFUZZ_TARGET(input)
{
    const int slot = zelfuzz::loadFont(input.file("input.fnt"));
    if (slot < 0)
        return;
    // Every code once, with a newline in the middle and wrapped text.
    std::string text;
    for (int c = 1; c < 256; ++c)
        text += static_cast<char>(c);
    const int previous = ZelFont::getFont();
    ZelFont::setFont(slot);
    ZelFont::put(-3, 2, text.c_str(), 17);
    ZelFont::putFormat(32, 24, text.c_str(), 1, 40);
    int count = 0;
    ZelFont::countVisibleWords(text.c_str(), count, ZelFont::getWidth(text.c_str()) / 3);
    ZelFont::countVisibleChars(text.c_str(), count, ZelFont::getHeight(text.c_str()));
    ZelFont::setFont(previous);
    ZelFont::unload(slot);
}
