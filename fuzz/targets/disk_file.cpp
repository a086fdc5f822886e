// Sequences of disk file operations on a file whose first content comes from
// the input: each input byte picks the next operation, the bytes after it
// give its arguments. Two objects share the file, so one may act while the
// other is closed or positioned elsewhere.
#include <cstdarg>
#include <cstring>

#include "fuzz/fuzz_support.h"

namespace {

int printTo(ZelFile& file, const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    const int written = file.vprintf(format, arguments);
    va_end(arguments);
    return written;
}

void apply(ZelDiskFile& file, const std::string& path, zelfuzz::Input& in)
{
    char buffer[300];
    // A count of items that fits the buffer; any count for items of size 0.
    const auto count = [&](unsigned itemSize) { return itemSize ? in.byte() % (sizeof buffer / itemSize + 1) : in.byte(); };
    const uint8_t op = in.byte();
    switch (op % 20) {
    case 0: file.open(path.c_str(), in.byte() % 26); break;
    case 1: file.close(); break;
    case 2: {
        const unsigned itemSize = in.byte() % 17;
        file.read(buffer, itemSize, count(itemSize));
        break;
    }
    case 3: {
        std::memset(buffer, in.byte(), sizeof buffer);
        const unsigned itemSize = in.byte() % 9;
        file.write(buffer, itemSize, count(itemSize));
        break;
    }
    case 4: file.gets(buffer, in.byte() % (sizeof buffer + 1)); break;
    case 5: file.getc(); break;
    case 6: file.getw(); break;
    case 7: file.putc(in.byte()); break;
    case 8: file.putw(static_cast<int>(in.word() * 65537u)); break;
    case 9: {
        const size_t length = in.byte() % 40;
        std::memset(buffer, 'a' + op % 26, length);
        buffer[length] = '\0';
        file.puts(buffer);
        break;
    }
    case 10: file.ungetc(in.byte() == 0 ? -1 : in.byte()); break;
    case 11: file.seek(static_cast<int16_t>(in.word()), in.byte() % 4); break;
    case 12: file.rewind(); break;
    case 13: file.savePosition(); break;
    case 14: file.restorePosition(); break;
    case 15: file.flush(); break;
    case 16: file.eof(); file.isOpen(); break;
    case 17: file.length(); break;
    case 18: printTo(file, "%d:%s;%c", static_cast<int16_t>(in.word()), "text", 'a' + in.byte() % 26); break;
    default: file.position = static_cast<int16_t>(in.word()); break;
    }
}

}  // namespace

ZELFUZZ_TARGET(input)
{
    std::string content;
    for (size_t i = input.byte(); i > 0 && !input.empty(); --i)
        content += static_cast<char>(input.byte());
    const std::string path = zelfuzz::writeInput("file.dat", reinterpret_cast<const uint8_t*>(content.data()), content.size());
    ZelDiskFile first;
    ZelDiskFile second;
    for (int n = 0; n < 200 && !input.empty(); ++n)
        apply(input.byte() & 1 ? second : first, path, input);
    first.close();
    second.close();
}
