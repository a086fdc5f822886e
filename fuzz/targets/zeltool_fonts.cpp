// zeltool's font readers on any bytes: FreeType (BDF, PCF, PCF.gz, TrueType,
// OpenType) and PSF through a character set, and character set list files
// and UTF-8 text as font preview reads them. The first byte chooses the
// reader, the character set and the pixel size; the rest is the file. Every
// font that builds is written, loaded and drawn by the library.
#include <new>

#include "font/font.h"
#include "fuzz/fuzz_support.h"
#include "tools/zeltool/charsets.h"
#include "tools/zeltool/errors.h"
#include "tools/zeltool/font_sources.h"

namespace {

void drawWithLibrary(const zelassets::AssetFont& font)
{
    const zelassets::Bytes bytes = zelassets::encodeFont(font);
    const std::string path = zelfuzz::writeInput("built.fnt", bytes.data(), bytes.size());
    HClass<ZelFile> file = ZelDiskFile::create();
    if (!file.resolves() || !file->open(path.c_str(), 1)) {
        file.destroy();
        return;
    }
    const int slot = ZelFont::load(file);
    file->close();
    file.destroy();
    if (slot < 0)
        __builtin_trap();  // the tool wrote a font the library refuses
    const int previous = ZelFont::getFont();
    ZelFont::setFont(slot);
    ZelFont::put(1, 1, "Az\xe9\x80\xc9", 1);
    ZelFont::setFont(previous);
    ZelFont::unload(slot);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    zelfuzz::startVideo();
    zelfuzz::ByteReader in(data, size);
    const uint8_t choice = in.byte();
    const std::string rest = in.rest();
    const zelassets::Bytes file(rest.begin(), rest.end());
    const char* sets[] = {"latin1", "cp437", "cp1252", "latin1"};
    const zeltool::Charset& charset = *zeltool::namedCharset(sets[choice >> 2 & 3]);
    zelfuzz::LeakCheck leaks;
    try {
        switch (choice & 3) {
        case 0:
        case 1: {
            const zeltool::RenderOptions options{choice & 1 ? 0 : 4 + (choice >> 4), 1 + (choice >> 4) * 16};
            drawWithLibrary(zeltool::fontFromFreetype(file, charset, options).font);
            break;
        }
        case 2:
            drawWithLibrary(zeltool::fontFromPsf(file, charset).font);
            break;
        default: {
            const zeltool::Charset list = zeltool::parseCharsetList(rest, "list");
            std::vector<char32_t> missing;
            const std::string codes = zeltool::encodeText(zeltool::decodeUtf8(rest), list, missing);
            if (codes.size() != zeltool::decodeUtf8(rest).size())
                __builtin_trap();
            break;
        }
        }
    } catch (const zeltool::FormatError&) {
    } catch (const zeltool::UsageError&) {
    } catch (const std::bad_alloc&) {
    }
    return 0;
}
