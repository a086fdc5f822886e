// Runs scene files. A scene file is a list of cases; a line is one of:
//
//   # a comment (blank lines are skipped too)
//   == title                      starts a case: a fresh Screen, no bitmaps, no font, counters 0
//   screen W H [FILL]             a Screen of W x H in colour FILL
//   region L T R B [OX OY]        the Screen's clip region and drawing origin
//   chars C=V ...                 more picture characters (C stands for value V)
//   bitmap NAME W H [OX OY]       a bitmap with origin point (OX, OY); H picture rows follow
//   bitmap NAME W H OX OY linear A B C    ... whose pixel (x, y) is A x + B y + C (mod 256)
//   glyph CODE W H                a glyph of the case's font (CODE a number, or a character); H rows
//   map CODE GLYPH                maps a further character code to a glyph number
//   font                          loads the glyphs so far as a font into a slot and makes it current
//   shadetables [lightzero]       dark level s maps c to c + s, light level -k to c + 100 + k
//                                 (lightzero: light level 0 leaves colours alone)
//   root                          a data root of the case's own ("ufsroot"), with the test system files
//   file PATH "TEXT" | file PATH N A B    a file below the root: the text, or N bytes (A i + B mod 256);
//                                 without either the file is removed
//   env NAME [VALUE]              an environment variable for the case (unset without a value)
//   registry KEY [VALUE]          a configuration value for the case
//   cd                            works in the data root until the case ends
//   ($ROOT in a line, and in a result, stands for the data root's path)
//   blocks N                      live blocks now, against the case's start
//   set NAME VALUE                a global (defaultColor, zoomFactor, currentXPos, polyMinY, ...,
//                                 and the drawing counters zoomCalls, rotMuls, ...)
//   check NAME VALUE              the value a global must have
//   spans K L,R L,R ...           span buffer entries from K on; "ramps" does the same for intensities
//   expect [NAME]                 the Screen's (or bitmap NAME's) picture; rows follow
//   out "TEXT" [...]              what the calls printed since the last check (... : a line that begins so)
//   stats NAME=V ...              checks several globals, the drawing counters as a rule
//   [NAME =] CALL ARG ... [-> R]  a library call; its result must print as R ("R ..." : begins so).
//                                 A bitmap it gives ("null" for none) is kept as NAME, other
//                                 results as text that the token $NAME stands for later on
//
// A case fails when it prints what no out line checks, or leaves blocks or
// files open. Pictures use one character a pixel: '.' is 0, '1'-'9' and
// 'a'-'z' are 1 to 35, '#' is 255, and "chars" adds more.

#include "scene.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>

#include "cout_capture.h"
#include "data_files.h"
#include "driver_fixture.h"
#include "draw/poly.h"
#include "font/font.h"
#include "test_files.h"
#include "scene_args.h"
#include "shade/shade.h"
#include "test_support.h"
#include "video/driver.h"
#include "video/palette.h"

namespace zeltest {

namespace {

std::vector<SceneToken> tokenize(const std::string& line)
{
    std::vector<SceneToken> out;
    for (size_t i = 0; i < line.size();) {
        if (line[i] == ' ' || line[i] == '\t') {
            ++i;
        } else if (line[i] == '"') {
            SceneToken t{"", true};
            for (++i; i < line.size() && line[i] != '"'; ++i) {
                const char e = line[i] == '\\' && i + 1 < line.size() ? line[++i] : 0;
                if (e == 'x')
                    t.text += static_cast<char>(std::stoi(line.substr(i + 1, 2), nullptr, 16)), i += 2;
                else
                    t.text += e == 'n' ? '\n' : e == 't' ? '\t' : e == 'r' ? '\r' : e ? e : line[i];
            }
            ++i;
            out.push_back(t);
        } else {
            const size_t end = std::min(line.find_first_of(" \t", i), line.size());
            out.push_back({line.substr(i, end - i), false});
            i = end;
        }
    }
    return out;
}

// The tokens' texts from the given one on, as one line.
std::string joined(const std::vector<SceneToken>& t, size_t from)
{
    std::string s;
    for (size_t i = from; i < t.size(); ++i)
        s += (i > from ? " " : "") + t[i].text;
    return s;
}

// A text as an out line writes it.
std::string quote(const std::string& text)
{
    return "\"" + escape(text) + "\"";
}

// The globals a scene may set and check, the drawing counters among them.
struct Global {
    void* at;
    size_t size;
};
const std::map<std::string, Global>& globals()
{
    static const std::map<std::string, Global> g{
        {"defaultColor", {&defaultColor, 1}}, {"zoomFactor", {&zoomFactor, 1}},
        {"currentXPos", {&currentXPos, 4}},   {"currentYPos", {&currentYPos, 4}},
        {"polyMinY", {&polyMinY, 4}},         {"polyMaxY", {&polyMaxY, 4}},
        {"polyHeight", {&polyHeight, 4}},     {"polyStartIndex", {&polyStartIndex, 4}},
        {"polyStopIndex", {&polyStopIndex, 4}},
        {"zoomCalls", {&videoStatistics.zoomCalls, 4}},   {"zoomMuls", {&videoStatistics.zoomMuls, 4}},
        {"rotCalls", {&videoStatistics.rotCalls, 4}},     {"rotMuls", {&videoStatistics.rotMuls, 4}},
        {"scaleCalls", {&videoStatistics.scaleCalls, 4}}, {"scaleMuls", {&videoStatistics.scaleMuls, 4}},
        {"fillCalls", {&videoStatistics.fillCalls, 4}},   {"fillMuls", {&videoStatistics.fillMuls, 4}},
    };
    return g;
}

// The lines of a scene file as they are read, and the file as it is written
// back when ZEL_UPDATE_GOLDEN=1 asks for the results seen instead of the
// results written.
struct SceneText {
    std::vector<std::string> lines;
    size_t next = 0;
    std::vector<std::string> written;
    bool update = false;

    // The next count lines, copied to the written file unless replaced.
    std::vector<std::string> rows(int count, bool replaced = false)
    {
        std::vector<std::string> out;
        while (static_cast<int>(out.size()) < count && next < lines.size())
            out.push_back(lines[next++]);
        if (!replaced || !update)
            written.insert(written.end(), out.begin(), out.end());
        return out;
    }
    // Replaces the line just read, when updating.
    void rewrite(const std::string& line)
    {
        if (update)
            written.back() = line;
    }
};

// One case being run: what it set up, and the failures found so far.
class SceneCase {
public:
    SceneCase(std::string file, std::string title, SceneText& text)
        : file_(std::move(file)), title_(std::move(title)), text_(text),
          saved_(defaultColor, zoomFactor, currentXPos, currentYPos, polyMinY, polyMaxY, polyHeight, polyStartIndex,
                 polyStopIndex, ZelVideo::shadeDark, ZelVideo::shadeLight, ZelSystem::AppendPath, driverSetPalette,
                 ::setPalette, disableLowerBar, refresh, gammaOffset, paletteName, palettes, paletteShadow, videoStatistics)
    {
        videoStatistics = {};
        for (int v = 0; v <= 35; ++v)
            chars_[v == 0 ? '.' : v <= 9 ? static_cast<char>('0' + v) : static_cast<char>('a' + v - 10)] = v;
        chars_['#'] = 255;
    }
    ~SceneCase()
    {
        shutDown();
        for (const auto& [name, value] : environment_)
            value ? setenv(name.c_str(), value->c_str(), 1) : unsetenv(name.c_str());
        for (const std::string& key : registry_)
            ZelSystem::SetRegistryString(key.c_str(), nullptr);
        std::filesystem::current_path(workingDirectory_);
        if (!root_.empty())
            std::filesystem::remove_all(root_);
    }
    SceneCase(const SceneCase&) = delete;
    SceneCase& operator=(const SceneCase&) = delete;

    // Runs the directive or call of one line.
    void line(int number, std::vector<SceneToken> t);
    // The case's failures, among them text printed and never checked, and
    // blocks and files left behind once video is shut down.
    std::vector<std::string> failures()
    {
        if (const std::string rest = printed_.take(); !rest.empty())
            fail("printed \"" + rest + "\" without an out line");
        shutDown();
        if (liveBlockCount() != liveBefore_)
            fail("blocks left behind: " + std::to_string(liveBlockCount() - liveBefore_));
        if (openDescriptors() != descriptorsBefore_)
            fail("files left open: " + std::to_string(openDescriptors() - descriptorsBefore_));
        return failures_;
    }

private:
    // Video, fonts, drawing state and the smart line's buffer, all given back.
    void shutDown()
    {
        ZelMem::SetLargestAllocation(0);
        resetSceneCalls();
        resetVideoCalls();
        for (auto& [name, h] : bitmaps_)
            release(h);
        screen_.reset();
        ZelVideo::deinit();
        deinitGraphics();
        ZelFont::unloadAll();
        for (unsigned char** table : {&ZelVideo::shadeDark, &ZelVideo::shadeLight}) {
            if (*table && (dark_.empty() || *table != dark_.data()) && (light_.empty() || *table != light_.data()))
                ZelMEMTmp::Free(*table);
            *table = nullptr;
        }
    }
    static void release(HClass<ZelBitmap>& h)
    {
        if (ZelBitmap* b = h.get()) {
            b->releaseAttachment();
            h.release();
        }
    }
    void fail(const std::string& what) { failures_.push_back(file_ + ":" + std::to_string(line_) + ": " + title_ + ": " + what); }
    // Compares what was seen with what the line expects; an update writes the line as seen instead.
    void expect(const std::string& seen, const std::string& expected, const std::string& what, const std::string& line)
    {
        text_.rewrite(line);
        if (seen != expected && !text_.update)
            fail(what + " is " + seen + ", not " + expected);
    }
    // A global's value as text; "?" for a name that is none.
    std::string global(const std::string& name, const long long* value = nullptr)
    {
        const auto it = globals().find(name);
        if (it == globals().end())
            return fail("no global " + name), "?";
        if (value)
            std::memcpy(it->second.at, value, it->second.size);
        const void* at = it->second.at;
        return std::to_string(it->second.size == 1 ? *static_cast<const unsigned char*>(at) : *static_cast<const int32_t*>(at));
    }
    // Pixels from picture rows, or a picture from pixels.
    std::string decode(const std::vector<std::string>& rows, int w, int h) const
    {
        std::string out(static_cast<size_t>(w * h), '\0');
        for (int y = 0; y < h && y < static_cast<int>(rows.size()); ++y)
            for (int x = 0; x < w && x < static_cast<int>(rows[y].size()); ++x)
                if (const auto it = chars_.find(rows[y][x]); it != chars_.end())
                    out[static_cast<size_t>(y * w + x)] = static_cast<char>(it->second);
        return out;
    }
    std::string render(const Bitmap& b) const
    {
        std::string out;
        for (int i = 0; i < b.width * b.height; ++i) {
            const int v = b.pixels()[i];
            const auto it = std::find_if(chars_.begin(), chars_.end(), [v](const auto& c) { return c.second == v; });
            out += std::string(1, it == chars_.end() ? '?' : it->first) + ((i + 1) % b.width ? "" : "\n");
        }
        return out;
    }
    HClass<ZelBitmap> named(const std::string& name) const
    {
        const auto it = bitmaps_.find(name);
        return name == "screen" ? ZelBitmap::Screen : it == bitmaps_.end() ? HClass<ZelBitmap>() : it->second;
    }
    void call(std::vector<SceneToken> tokens, const std::string& expected, bool expectsResult, bool keepLine);

    std::string file_;
    int line_ = 0;
    std::string title_;
    SceneText& text_;
    Restore saved_;
    std::optional<ScreenSetup> screen_;
    std::map<std::string, HClass<ZelBitmap>> bitmaps_;
    std::map<std::string, std::string> values_;  // results kept by name
    std::map<char, int> chars_;
    std::vector<FontGlyph> glyphs_;
    std::vector<std::pair<int, int>> extraCodes_;
    std::vector<unsigned char> dark_, light_;
    CoutCapture printed_;  // what the library prints while the case runs
    size_t liveBefore_ = liveBlockCount();
    int descriptorsBefore_ = openDescriptors();
    std::string root_;
    std::filesystem::path workingDirectory_ = std::filesystem::current_path();
    std::map<std::string, std::optional<std::string>> environment_;  // as it was before the case
    std::vector<std::string> registry_;
    std::vector<std::string> failures_;
};

void SceneCase::line(int at, std::vector<SceneToken> t)
{
    // $ROOT stands for the data root in what the line passes, not in what it
    // expects; $NAME for a kept result anywhere.
    bool arrow = false, keepLine = false;
    for (SceneToken& k : t) {
        arrow = arrow || (k.text == "->" && !k.quoted);
        for (size_t found; !arrow && !root_.empty() && (found = k.text.find("$ROOT")) != std::string::npos;)
            k.text.replace(found, 5, root_);
        if (const auto v = values_.find(k.text.substr(std::min<size_t>(1, k.text.size())));
            !k.quoted && k.text[0] == '$' && v != values_.end())
            k.text = v->second, keepLine = keepLine || arrow;
    }
    line_ = at;
    const std::string& word = t[0].text;
    const auto arg = [&](size_t i) { return i < t.size() ? static_cast<int>(std::stoll(t[i].text, nullptr, 0)) : 0; };
    if (word == "screen") {
        screen_.reset();
        screen_.emplace(arg(1), arg(2), static_cast<unsigned char>(arg(3)));
    } else if (word == "region") {
        screen_->setRegion(arg(1), arg(2), arg(3), arg(4), arg(5), arg(6));
    } else if (word == "root") {
        // ctest sets the driver search path; a test program run by hand finds the test drivers here.
        setenv("ZEL_DRIVER_PATH", ZELGFX_TEST_DRIVERDIR, 0);
        char pattern[] = "/tmp/zelsceneXXXXXX";
        root_ = mkdtemp(pattern) ? pattern : "";
        writeTestSystemFiles(root_);
        ZelSystem::SetRegistryString("ufsroot", root_.c_str());
        registry_.push_back("ufsroot");
    } else if (word == "file") {
        const std::filesystem::path path = std::filesystem::path(root_) / t[1].text;
        std::string bytes = t.size() < 3 || t[2].quoted ? "" : std::string(static_cast<size_t>(arg(2)), '\0');
        for (size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = static_cast<char>(arg(3) * static_cast<int>(i) + arg(4));
        std::filesystem::create_directories(path.parent_path());
        if (t.size() < 3)
            std::filesystem::remove(path);
        else
            writeFile(path.string(), t[2].quoted ? t[2].text : bytes);
    } else if (word == "env") {
        const char* old = std::getenv(t[1].text.c_str());
        environment_.try_emplace(t[1].text, old ? std::optional<std::string>(old) : std::nullopt);
        t.size() > 2 ? setenv(t[1].text.c_str(), t[2].text.c_str(), 1) : unsetenv(t[1].text.c_str());
    } else if (word == "registry") {
        ZelSystem::SetRegistryString(t[1].text.c_str(), t.size() > 2 ? t[2].text.c_str() : nullptr);
        registry_.push_back(t[1].text);
    } else if (word == "cd") {
        std::filesystem::current_path(root_);
    } else if (word == "blocks") {
        const std::string got = std::to_string(static_cast<long>(liveBlockCount()) - static_cast<long>(liveBefore_));
        expect(got, t[1].text, "the change in live blocks", "blocks " + got);
    } else if (word == "chars") {
        for (size_t i = 1; i < t.size(); ++i)
            chars_[t[i].text[0]] = static_cast<int>(std::stoll(t[i].text.substr(2), nullptr, 0));
    } else if (word == "bitmap") {
        HClass<ZelBitmap>& h = bitmaps_[t[1].text];
        h = ZelBitmap::Create(arg(2), arg(3), h);
        h->originX = arg(4);
        h->originY = arg(5);
        const bool linear = t.size() > 6 && t[6].text == "linear";
        const std::string p = linear ? std::string() : decode(text_.rows(arg(3)), arg(2), arg(3));
        for (int i = 0; i < arg(2) * arg(3); ++i)
            h->pixels()[i] = linear ? static_cast<unsigned char>(arg(7) * (i % arg(2)) + arg(8) * (i / arg(2)) + arg(9))
                                    : static_cast<unsigned char>(p[static_cast<size_t>(i)]);
    } else if (word == "glyph") {
        const int code = t[1].text.size() == 1 && !isdigit(t[1].text[0]) ? t[1].text[0] : arg(1);
        glyphs_.emplace_back(static_cast<unsigned char>(code), Picture{arg(2), arg(3), 0, 0, decode(text_.rows(arg(3)), arg(2), arg(3))});
    } else if (word == "map") {
        extraCodes_.emplace_back(arg(1), arg(2));
    } else if (word == "font") {
        std::string file = fontFile(glyphs_);
        for (auto [code, glyph] : extraCodes_)
            file[4 + code] = static_cast<char>(glyph);
        ZelFont::setFont(loadFont(file));
    } else if (word == "shadetables") {
        dark_.resize(ZelShadeTableBytes);
        light_.resize(ZelShadeTableBytes);
        for (int i = 0; i < ZelShadeTableBytes; ++i) {
            const int c = i / ZelShadeLevels, k = i % ZelShadeLevels;
            dark_[i] = static_cast<unsigned char>(c + k + 1);
            light_[i] = static_cast<unsigned char>(k == 0 && t.size() > 1 ? c : c + 100 + k);
        }
        ZelVideo::shadeDark = dark_.data();
        ZelVideo::shadeLight = light_.data();
    } else if (word == "set") {
        const long long v = std::stoll(t[2].text, nullptr, 0);
        global(t[1].text, &v);
    } else if (word == "check") {
        const std::string got = global(t[1].text);
        expect(got, t[2].text, t[1].text, "check " + t[1].text + " " + got);
    } else if (word == "stats") {
        std::string seen = "stats";
        for (size_t i = 1, eq; i < t.size() && (eq = t[i].text.find('=')) != std::string::npos; ++i)
            seen += " " + t[i].text.substr(0, eq) + "=" + global(t[i].text.substr(0, eq));
        expect(seen.substr(6), joined(t, 1), "the counters", seen);
    } else if (word == "spans" || word == "ramps") {
        Point* buffer = (word == "spans" ? polyBuffer : gouraudBuffer).get();
        for (size_t i = 2; i < t.size(); ++i) {
            const size_t comma = t[i].text.find(',');
            buffer[arg(1) + static_cast<int>(i) - 2] = {{static_cast<int>(std::stoll(t[i].text.substr(0, comma), nullptr, 0)),
                                                         static_cast<int>(std::stoll(t[i].text.substr(comma + 1), nullptr, 0))}};
        }
    } else if (word == "expect") {
        const HClass<ZelBitmap> b = t.size() > 1 ? named(t[1].text) : ZelBitmap::Screen;
        if (!b.get())
            return fail("no bitmap to compare");
        std::string expected;
        for (const std::string& row : text_.rows(b->height, true))
            expected += row + '\n';
        const std::string got = render(*b.get());
        if (text_.update)
            for (size_t from = 0, to; (to = got.find('\n', from)) != std::string::npos; from = to + 1)
                text_.written.push_back(got.substr(from, to - from));
        else if (got != expected)
            fail("the picture differs; expected\n" + expected + "got\n" + got);
    } else if (word == "out") {
        // "out TEXT ..." takes what follows TEXT on the line as the machine's own.
        const std::string got = printed_.take(), expected = t.size() > 1 ? t[1].text : "";
        const bool prefix = t.size() > 2 && t[2].text == "...";
        if (!prefix)
            text_.rewrite("out " + quote(got));
        if (!(prefix ? got.starts_with(expected) && got.ends_with('\n') : got == expected) && !text_.update)
            fail("printed " + quote(got) + ", not " + quote(expected));
    } else {
        const auto a = std::find_if(t.begin(), t.end(), [](const SceneToken& k) { return k.text == "->" && !k.quoted; });
        const std::string expected = a == t.end() ? "" : joined({a, t.end()}, 1);
        call({t.begin(), a}, expected, a != t.end(), keepLine);
    }
}

void SceneCase::call(std::vector<SceneToken> tokens, const std::string& expected, bool expectsResult, bool keepLine)
{
    std::string resultName;
    if (tokens.size() > 2 && tokens[1].text == "=" && !tokens[1].quoted) {
        resultName = tokens[0].text;
        tokens.erase(tokens.begin(), tokens.begin() + 2);
    }
    const SceneInvoker* invoke = sceneCall(tokens[0].text);
    if (!invoke)
        return fail("no call or directive " + tokens[0].text);
    const std::string name = tokens[0].text;
    tokens.erase(tokens.begin());
    SceneArgs args(std::move(tokens), [this](const std::string& n) { return named(n); });
    SceneResult r = (*invoke)(args);
    for (size_t at; !root_.empty() && (at = r.text.find(root_)) != std::string::npos;)
        r.text.replace(at, root_.size(), "$ROOT");
    if (!args.error().empty())
        return fail(name + ": " + args.error());
    if (r.isBitmap && !resultName.empty()) {
        HClass<ZelBitmap>& slot = bitmaps_[resultName];
        if (slot.value != r.handle)
            release(slot);
        slot = HClass<ZelBitmap>(r.handle);
    } else if (!resultName.empty()) {
        values_[resultName] = r.text;
    }
    if (!expectsResult)
        return;
    const bool prefix = expected.ends_with(" ...") && r.text.starts_with(expected.substr(0, expected.size() - 3));
    const std::string& written = text_.written.back();
    expect(prefix ? expected : r.text, expected, name + "'s result",
           prefix || keepLine ? written : written.substr(0, written.rfind("->") + 3) + r.text);
}

}  // namespace

std::string escape(const std::string& bytes)
{
    std::string out;
    for (unsigned char c : bytes) {
        if (c == '\n' || c == '\t' || c == '"' || c == '\\')
            out += std::string("\\") + static_cast<char>(c == '\n' ? 'n' : c == '\t' ? 't' : c);
        else if (c < 32 || c > 126)
            out += std::string("\\x") + "0123456789abcdef"[c >> 4] + "0123456789abcdef"[c & 15];
        else
            out += static_cast<char>(c);
    }
    return out;
}

const SceneToken& SceneArgs::take()
{
    static const SceneToken missing{"0", false};
    if (at_ >= tokens_.size()) {
        error_ = "too few arguments";
        return missing;
    }
    return tokens_[at_++];
}

void SceneArgs::expectEnd()
{
    if (at_ < tokens_.size() && error_.empty())
        error_ = "too many arguments";
}

long long SceneArgs::integer(const std::string& text)
{
    try {
        size_t used = 0;
        const long long v = std::stoll(text, &used, 0);
        if (used == text.size())
            return v;
    } catch (const std::exception&) {
    }
    error_ = "not a number: " + text;
    return 0;
}

std::vector<std::string> SceneArgs::split(const std::string& text, char separator)
{
    std::vector<std::string> parts{""};
    for (char c : text)
        c == separator ? void(parts.emplace_back()) : parts.back().push_back(c);
    return parts;
}

std::vector<int> SceneArgs::integers(const std::string& text, char separator)
{
    std::vector<int> out;
    for (const std::string& part : split(text, separator))
        out.push_back(static_cast<int>(integer(part)));
    return out;
}

std::vector<std::string> runSceneFile(const std::string& relative)
{
    std::ifstream in(sourcePath(relative));
    if (!in)
        return {"cannot read " + relative};
    SceneText text;
    for (std::string line; std::getline(in, line);)
        text.lines.push_back(line);
    const char* update = std::getenv("ZEL_UPDATE_GOLDEN");
    text.update = update && *update == '1';

    std::vector<std::string> failures;
    std::unique_ptr<SceneCase> current;
    auto finish = [&] {
        const std::vector<std::string> f = current ? current->failures() : std::vector<std::string>();
        current.reset();
        failures.insert(failures.end(), f.begin(), f.end());
    };
    while (text.next < text.lines.size()) {
        const int at = static_cast<int>(++text.next);
        const std::string line = text.lines[at - 1];
        text.written.push_back(line);
        std::vector<SceneToken> t = tokenize(line);
        if (t.empty() || t[0].text[0] == '#')
            continue;
        if (t[0].text == "==") {
            finish();
            current = std::make_unique<SceneCase>(relative, line.substr(3), text);
        } else if (current) {
            current->line(at, std::move(t));
        }
    }
    finish();
    if (text.update) {
        std::ofstream out(sourcePath(relative));
        for (const std::string& line : text.written)
            out << line << '\n';
    }
    return failures;
}

std::vector<std::string> sceneFiles(const std::string& folder)
{
    std::vector<std::string> out;
    for (const auto& e : std::filesystem::directory_iterator(sourcePath(folder)))
        if (e.path().extension() == ".scene")
            out.push_back(folder + "/" + e.path().filename().string());
    std::sort(out.begin(), out.end());
    return out;
}

}  // namespace zeltest
