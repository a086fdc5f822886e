// Which characters go into a font's 256 codes: a character set gives the
// Unicode code point of each code, and text in UTF-8 becomes codes through
// it. Code 0 never holds a character (text output reads C strings).
#pragma once

#include <array>
#include <string>
#include <vector>

namespace zeltool {

struct Charset {
    std::string name;
    std::array<char32_t, 256> codePoint{};  // 0: the code holds nothing
};

// "latin1" (code c is U+c), "cp437" (the IBM PC set, with its pictures in
// codes 1 to 31 and 127) or "cp1252" (Windows Western). nullptr otherwise.
const Charset* namedCharset(const std::string& name);

// A list file: one "CODE CHARACTER" a line, CODE from 1 to 255 (decimal or
// 0x hex), CHARACTER as U+HHHH or the character itself in UTF-8; '#' starts
// a comment. Codes not listed hold nothing. FormatError naming the line.
Charset parseCharsetList(const std::string& text, const std::string& name);

// The code points of UTF-8 text; FormatError for bytes that are not UTF-8.
std::u32string decodeUtf8(const std::string& text);
std::string encodeUtf8(char32_t c);

// The codes of the text's characters; a newline stays a newline. Characters
// the set has no code for become '?' and are listed in missing.
std::string encodeText(const std::u32string& text, const Charset& charset, std::vector<char32_t>& missing);

}  // namespace zeltool
