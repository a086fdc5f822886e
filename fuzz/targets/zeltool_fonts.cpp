// zeltool's font readers on any bytes: FreeType (BDF, PCF, PCF.gz, TrueType,
// OpenType) and PSF through a character set, and character set list files
// and UTF-8 text as font preview reads them. The first byte chooses the
// reader, the character set and the pixel size; the rest is the file. Every
// font that builds is written, loaded and drawn by the library.
#include "font/font.h"
#include "fuzz/fuzz_support.h"
#include "tools/zeltool/charsets.h"
#include "tools/zeltool/font_sources.h"

namespace {

void drawWithLibrary(const zelassets::AssetFont& font)
{
    const zelassets::Bytes bytes = zelassets::encodeFont(font);
    const int slot = zelfuzz::loadFont(zelfuzz::writeInput("built.fnt", bytes.data(), bytes.size()));
    if (slot < 0)
        __builtin_trap();  // the tool wrote a font the library refuses
    const int previous = ZelFont::getFont();
    ZelFont::setFont(slot);
    ZelFont::put(1, 1, "Az\xe9\x80\xc9", 1);
    ZelFont::setFont(previous);
    ZelFont::unload(slot);
}

}  // namespace

ZELFUZZ_TARGET(input)
{
    const uint8_t choice = input.byte();
    const zelassets::Bytes file = input.rest();
    const char* sets[] = {"latin1", "cp437", "cp1252", "latin1"};
    const zeltool::Charset& charset = *zeltool::namedCharset(sets[choice >> 2 & 3]);
    if ((choice & 3) < 2) {
        const zeltool::RenderOptions options{choice & 1 ? 0 : 4 + (choice >> 4), 1 + (choice >> 4) * 16};
        drawWithLibrary(zeltool::fontFromFreetype(file, charset, options).font);
    } else if ((choice & 3) == 2) {
        drawWithLibrary(zeltool::fontFromPsf(file, charset).font);
    } else {
        const std::string text(file.begin(), file.end());
        const zeltool::Charset list = zeltool::parseCharsetList(text, "list");
        std::vector<char32_t> missing;
        if (zeltool::encodeText(zeltool::decodeUtf8(text), list, missing).size() != zeltool::decodeUtf8(text).size())
            __builtin_trap();
    }
}
