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
//   file PATH "TEXT" | file PATH N A B    a file below the root: the text, or N bytes (A i + B mod 256)
//   env NAME [VALUE]              an environment variable for the case (unset without a value)
//   registry KEY [VALUE]          a configuration value for the case
//   cd                            works in the data root until the case ends
//   ($ROOT in a line, and in a result, stands for the data root's path)
//   blocks N                      live blocks now, against the case's start
//   set NAME VALUE                a global (defaultColor, zoomFactor, currentXPos, polyMinY, ...)
//   check NAME VALUE              the value a global must have
//   spans K L,R L,R ...           span buffer entries from K on; "ramps" does the same for intensities
//   expect [NAME]                 the Screen's (or bitmap NAME's) picture; rows follow
//   out "TEXT" [...]              what the calls printed since the last check (... : a line that begins so)
//   stats NAME=V ...              drawing counters (zoomCalls, rotMuls, ...)
//   [NAME =] CALL ARG ... [-> R]  a library call; its result must print as R, or is kept as bitmap NAME
//
// Pictures use one character a pixel: '.' is 0, '1'-'9' and 'a'-'z' are 1 to
// 35, '#' is 255, and "chars" adds more.

#include "scene.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <sstream>

#include "cout_capture.h"
#include "data_files.h"
#include "driver_fixture.h"
#include "draw/poly.h"
#include "font/font.h"
#include "video/driver.h"
#include "golden.h"
#include "scene_args.h"
#include "shade/shade.h"
#include "test_support.h"
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
                if (line[i] != '\\' || i + 1 >= line.size()) {
                    t.text += line[i];
                    continue;
                }
                const char e = line[++i];
                if (e == 'x') {
                    t.text += static_cast<char>(std::stoi(line.substr(i + 1, 2), nullptr, 16));
                    i += 2;
                } else {
                    t.text += e == 'n' ? '\n' : e == 't' ? '\t' : e == 'r' ? '\r' : e;
                }
            }
            ++i;
            out.push_back(t);
        } else {
            const size_t end = line.find_first_of(" \t", i);
            out.push_back({line.substr(i, end - i), false});
            i = end == std::string::npos ? line.size() : end;
        }
    }
    return out;
}

// A text as an out line writes it.
std::string quote(const std::string& text)
{
    std::string q = "\"";
    for (unsigned char c : text) {
        if (c == '\n')
            q += "\\n";
        else if (c == '\t')
            q += "\\t";
        else if (c == '"' || c == '\\')
            q += std::string("\\") + static_cast<char>(c);
        else if (c < 32 || c > 126)
            q += "\\x" + std::string(1, "0123456789abcdef"[c >> 4]) + "0123456789abcdef"[c & 15];
        else
            q += static_cast<char>(c);
    }
    return q + "\"";
}

// The globals a scene may set and check.
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
    };
    return g;
}

long long readGlobal(const Global& g)
{
    return g.size == 1 ? *static_cast<unsigned char*>(g.at) : *static_cast<int32_t*>(g.at);
}

const std::map<std::string, uint32_t ZelVideoStatistics::*>& counters()
{
    static const std::map<std::string, uint32_t ZelVideoStatistics::*> c{
        {"zoomCalls", &ZelVideoStatistics::zoomCalls},   {"zoomMuls", &ZelVideoStatistics::zoomMuls},
        {"rotCalls", &ZelVideoStatistics::rotCalls},     {"rotMuls", &ZelVideoStatistics::rotMuls},
        {"scaleCalls", &ZelVideoStatistics::scaleCalls}, {"scaleMuls", &ZelVideoStatistics::scaleMuls},
        {"fillCalls", &ZelVideoStatistics::fillCalls},   {"fillMuls", &ZelVideoStatistics::fillMuls},
    };
    return c;
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
    SceneCase(std::string file, std::string title)
        : file_(std::move(file)), title_(std::move(title)),
          saved_(defaultColor, zoomFactor, currentXPos, currentYPos, polyMinY, polyMaxY, polyHeight, polyStartIndex,
                 polyStopIndex, ZelVideo::shadeDark, ZelVideo::shadeLight, ZelSystem::AppendPath)
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

    // Runs the directive or call of one line; picture rows are read from in.
    void line(int number, const std::vector<SceneToken>& t, SceneText& text);
    // The case's failures, text printed and never checked among them, and
    // blocks left behind once video is shut down.
    std::vector<std::string> failures()
    {
        if (const std::string rest = printed_.take(); !rest.empty())
            fail("printed \"" + rest + "\" without an out line");
        shutDown();
        if (liveBlockCount() != liveBefore_)
            fail("blocks left behind: " + std::to_string(liveBlockCount() - liveBefore_));
        return failures_;
    }

private:
    // Video, fonts, drawing state and the smart line's buffer, all given back.
    void shutDown()
    {
        ZelMem::SetLargestAllocation(0);
        resetSceneCalls();
        for (auto& [name, h] : bitmaps_) {
            if (ZelBitmap* b = h.get()) {
                b->releaseAttachment();
                h.release();
            }
        }
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
    void fail(const std::string& what) { failures_.push_back(file_ + ":" + std::to_string(line_) + ": " + title_ + ": " + what); }
    int number(const std::string& text) const { return static_cast<int>(std::stoll(text, nullptr, 0)); }
    std::string render(const Bitmap& b) const;
    void paint(Bitmap& b, const std::vector<std::string>& rows) const;
    HClass<ZelBitmap> named(const std::string& name) const;
    void call(const std::vector<SceneToken>& t, SceneText& text);

    std::string file_;
    int line_ = 0;
    std::string title_;
    Restore saved_;
    std::optional<ScreenSetup> screen_;
    std::map<std::string, HClass<ZelBitmap>> bitmaps_;
    std::map<char, int> chars_;
    std::vector<FontGlyph> glyphs_;
    std::vector<std::pair<int, int>> extraCodes_;
    std::vector<unsigned char> dark_, light_;
    CoutCapture printed_;  // what the library prints while the case runs
    size_t liveBefore_ = liveBlockCount();
    std::string root_;
    std::filesystem::path workingDirectory_ = std::filesystem::current_path();
    std::map<std::string, std::optional<std::string>> environment_;  // as it was before the case
    std::vector<std::string> registry_;
    std::vector<std::string> failures_;
};

std::string SceneCase::render(const Bitmap& b) const
{
    std::string out;
    for (int y = 0; y < b.height; ++y) {
        for (int x = 0; x < b.width; ++x) {
            const int v = b.pixels()[static_cast<size_t>(y) * b.width + x];
            const auto it = std::find_if(chars_.begin(), chars_.end(), [v](const auto& c) { return c.second == v; });
            out += it == chars_.end() ? '?' : it->first;
        }
        out += '\n';
    }
    return out;
}

void SceneCase::paint(Bitmap& b, const std::vector<std::string>& rows) const
{
    for (int y = 0; y < b.height && y < static_cast<int>(rows.size()); ++y) {
        for (int x = 0; x < b.width && x < static_cast<int>(rows[y].size()); ++x) {
            const auto it = chars_.find(rows[y][x]);
            *b.pixelAt(x, y) = static_cast<unsigned char>(it == chars_.end() ? 0 : it->second);
        }
    }
}

HClass<ZelBitmap> SceneCase::named(const std::string& name) const
{
    if (name == "screen")
        return ZelBitmap::Screen;
    const auto it = bitmaps_.find(name);
    return it == bitmaps_.end() ? HClass<ZelBitmap>() : it->second;
}

void SceneCase::line(int at, const std::vector<SceneToken>& given, SceneText& text)
{
    // $ROOT stands for the data root in what the line passes, not in what it expects.
    std::vector<SceneToken> t = given;
    for (SceneToken& k : t) {
        if (k.text == "->" && !k.quoted)
            break;
        for (size_t found; !root_.empty() && (found = k.text.find("$ROOT")) != std::string::npos;)
            k.text.replace(found, 5, root_);
    }
    line_ = at;
    const std::string& word = t[0].text;
    const auto arg = [&](size_t i, int fallback = 0) { return i < t.size() ? number(t[i].text) : fallback; };
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
        std::string bytes = t[2].quoted ? t[2].text : std::string(static_cast<size_t>(arg(2)), '\0');
        for (size_t i = 0; !t[2].quoted && i < bytes.size(); ++i)
            bytes[i] = static_cast<char>(arg(3) * static_cast<int>(i) + arg(4));
        const std::filesystem::path path = std::filesystem::path(root_) / t[1].text;
        std::filesystem::create_directories(path.parent_path());
        writeFile(path.string(), bytes);
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
        const long got = static_cast<long>(liveBlockCount()) - static_cast<long>(liveBefore_);
        text.rewrite("blocks " + std::to_string(got));
        if (got != arg(1) && !text.update)
            fail("live blocks changed by " + std::to_string(got) + ", not " + t[1].text);
    } else if (word == "chars") {
        for (size_t i = 1; i < t.size(); ++i)
            chars_[t[i].text[0]] = number(t[i].text.substr(2));
    } else if (word == "bitmap") {
        HClass<ZelBitmap>& h = bitmaps_[t[1].text];
        h = ZelBitmap::Create(arg(2), arg(3), h);
        h->originX = arg(4);
        h->originY = arg(5);
        if (t.size() > 6 && t[6].text == "linear") {
            for (int y = 0; y < h->height; ++y)
                for (int x = 0; x < h->width; ++x)
                    *h->pixelAt(x, y) = static_cast<unsigned char>(arg(7) * x + arg(8) * y + arg(9));
        } else {
            paint(*h.get(), text.rows(arg(3)));
        }
    } else if (word == "glyph") {
        const int code = t[1].text.size() == 1 && !isdigit(t[1].text[0]) ? t[1].text[0] : arg(1);
        HClass<ZelBitmap> g = ZelBitmap::Create(arg(2), arg(3), HClass<ZelBitmap>());
        paint(*g.get(), text.rows(arg(3)));
        Picture p{arg(2), arg(3), 0, 0, std::string(g->pixels(), g->pixels() + arg(2) * arg(3))};
        g.release();
        glyphs_.emplace_back(static_cast<unsigned char>(code), p);
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
        for (int c = 0; c < 256; ++c) {
            for (int k = 0; k < ZelShadeLevels; ++k) {
                dark_[c * ZelShadeLevels + k] = static_cast<unsigned char>(c + k + 1);
                light_[c * ZelShadeLevels + k] = static_cast<unsigned char>(k == 0 && t.size() > 1 ? c : c + 100 + k);
            }
        }
        ZelVideo::shadeDark = dark_.data();
        ZelVideo::shadeLight = light_.data();
    } else if (word == "set" || word == "check") {
        const auto it = globals().find(t[1].text);
        if (it == globals().end())
            return fail("no global " + t[1].text);
        const long long v = std::stoll(t[2].text, nullptr, 0);
        if (word == "set") {
            std::memcpy(it->second.at, &v, it->second.size);
            return;
        }
        text.rewrite("check " + t[1].text + " " + std::to_string(readGlobal(it->second)));
        if (readGlobal(it->second) != v && !text.update)
            fail(t[1].text + " is " + std::to_string(readGlobal(it->second)) + ", not " + t[2].text);
    } else if (word == "spans" || word == "ramps") {
        Point* buffer = (word == "spans" ? polyBuffer : gouraudBuffer).get();
        for (size_t i = 2; i < t.size(); ++i) {
            const size_t comma = t[i].text.find(',');
            buffer[arg(1) + static_cast<int>(i) - 2] = {{number(t[i].text.substr(0, comma)),
                                                         number(t[i].text.substr(comma + 1))}};
        }
    } else if (word == "expect") {
        const HClass<ZelBitmap> b = t.size() > 1 ? named(t[1].text) : ZelBitmap::Screen;
        if (!b.get())
            return fail("no bitmap to compare");
        std::string expected;
        for (const std::string& row : text.rows(b->height, true))
            expected += row + '\n';
        const std::string got = render(*b.get());
        if (text.update)
            for (size_t from = 0, to; (to = got.find('\n', from)) != std::string::npos; from = to + 1)
                text.written.push_back(got.substr(from, to - from));
        else if (got != expected)
            fail("the picture differs; expected\n" + expected + "got\n" + got);
    } else if (word == "out") {
        // "out TEXT ..." takes what follows TEXT on the line as the machine's own.
        const std::string got = printed_.take(), expected = t.size() > 1 ? t[1].text : "";
        const bool prefix = t.size() > 2 && t[2].text == "...";
        if (!prefix)
            text.rewrite("out " + quote(got));
        if ((prefix ? got.compare(0, expected.size(), expected) != 0 || got.back() != '\n' : got != expected) &&
            !text.update)
            fail("printed \"" + got + "\", not \"" + expected + "\"");
    } else if (word == "stats") {
        std::string seen = "stats";
        for (size_t i = 1; i < t.size(); ++i) {
            const size_t eq = t[i].text.find('=');
            const std::string name = t[i].text.substr(0, eq);
            const auto it = counters().find(name);
            if (it == counters().end())
                return fail("no counter " + name);
            const uint32_t got = videoStatistics.*(it->second);
            seen += " " + name + "=" + std::to_string(got);
            if (got != static_cast<uint32_t>(number(t[i].text.substr(eq + 1))) && !text.update)
                fail(name + " is " + std::to_string(got) + ", not " + t[i].text.substr(eq + 1));
        }
        text.rewrite(seen);
    } else {
        call(t, text);
    }
}

void SceneCase::call(const std::vector<SceneToken>& t, SceneText& text)
{
    std::vector<SceneToken> tokens = t;
    std::string resultName, expected;
    bool expectsResult = false;
    if (tokens.size() > 2 && tokens[1].text == "=" && !tokens[1].quoted) {
        resultName = tokens[0].text;
        tokens.erase(tokens.begin(), tokens.begin() + 2);
    }
    const auto arrow = std::find_if(tokens.begin(), tokens.end(), [](const SceneToken& k) { return k.text == "->" && !k.quoted; });
    if (arrow != tokens.end()) {
        expectsResult = true;
        for (auto it = arrow + 1; it != tokens.end(); ++it)
            expected += (it == arrow + 1 ? "" : " ") + it->text;
        tokens.erase(arrow, tokens.end());
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
        if (slot.value != r.handle && slot.get()) {
            slot->releaseAttachment();
            slot.release();
        }
        slot = HClass<ZelBitmap>(r.handle);
    }
    if (expectsResult) {
        text.rewrite(text.written.back().substr(0, text.written.back().rfind("->") + 3) + r.text);
        if (r.text != expected && !text.update)
            fail(name + " gave " + r.text + ", not " + expected);
    }
}

}  // namespace

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
    std::vector<std::string> parts;
    size_t from = 0;
    for (size_t to; (to = text.find(separator, from)) != std::string::npos; from = to + 1)
        parts.push_back(text.substr(from, to - from));
    parts.push_back(text.substr(from));
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
        if (current) {
            const std::vector<std::string> f = current->failures();
            current.reset();
            failures.insert(failures.end(), f.begin(), f.end());
        }
    };
    while (text.next < text.lines.size()) {
        const int at = static_cast<int>(++text.next);
        const std::string& line = text.lines[at - 1];
        text.written.push_back(line);
        const std::vector<SceneToken> t = tokenize(line);
        if (t.empty() || t[0].text[0] == '#')
            continue;
        if (t[0].text == "==") {
            finish();
            current = std::make_unique<SceneCase>(relative, line.substr(3));
        } else if (current) {
            current->line(at, t, text);
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
