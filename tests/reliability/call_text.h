// Calls described as text for the failure messages of a long run: a name
// with its arguments, texts quoted, bitmaps by size and origin point.
#pragma once

#include <sstream>
#include <string>
#include <type_traits>

#include "test_support.h"

namespace zeltest {

// Bytes shown as numbers, anything else as it streams.
template <class T> auto shown(const T& v)
{
    if constexpr (std::is_same_v<T, unsigned char> || std::is_same_v<T, signed char>)
        return int{v};
    else
        return v;
}

// "name(a, b, c)", for the failure messages.
template <class... A> std::string describe(const char* name, const A&... args)
{
    std::ostringstream s;
    s << name << '(';
    const char* separator = "";
    ((s << separator << shown(args), separator = ", "), ...);
    s << ')';
    return s.str();
}

inline std::string quoted(const std::string& text)
{
    std::ostringstream s;
    s << '"';
    for (unsigned char c : text) {
        if (c >= 32 && c < 127 && c != '"' && c != '\\')
            s << c;
        else
            s << "\\x" << std::hex << int{c} << std::dec;
    }
    s << '"';
    return s.str();
}

// A bitmap by its size and origin point, for the failure messages.
inline std::string bitmapText(const char* kind, const TestBitmap& t)
{
    const Bitmap* b = t.h.get();
    std::ostringstream s;
    s << kind << ' ' << b->width << 'x' << b->height << " at " << b->originX << ',' << b->originY;
    return s.str();
}

}  // namespace zeltest
