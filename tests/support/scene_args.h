// The arguments of one scene call, read from its tokens in the order of the
// called function's parameters, and the invoker that turns a library
// function into a call by name.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <tuple>
#include <type_traits>
#include <vector>

#include "bitmap/bitmap.h"
#include "draw/poly.h"

namespace zeltest {

struct SceneToken {
    std::string text;
    bool quoted = false;
};

class SceneArgs {
public:
    using BitmapNamed = std::function<HClass<ZelBitmap>(const std::string&)>;
    SceneArgs(std::vector<SceneToken> tokens, BitmapNamed bitmapNamed)
        : tokens_(std::move(tokens)), bitmapNamed_(std::move(bitmapNamed))
    {
    }

    // The next argument as a parameter of type T. Integers may be negative
    // or hexadecimal and wrap to T; bitmaps go by name ("null", "screen");
    // texts are quoted ("null" unquoted is a null pointer, "keep" the value
    // -1 that keeps a setting); floats are decimal; points are "x,y",
    // polygons "x,y/x,y/...", int arrays "a,b,c" ("null" for none).
    template <class T> T next();
    // Set when the tokens did not fit the parameters.
    const std::string& error() const { return error_; }
    void expectEnd();

private:
    const SceneToken& take();
    long long integer(const std::string& text);
    static std::vector<std::string> split(const std::string& text, char separator);
    std::vector<int> integers(const std::string& text, char separator);

    std::vector<SceneToken> tokens_;
    size_t at_ = 0;
    BitmapNamed bitmapNamed_;
    std::string error_;
    std::deque<std::string> texts_;              // stable storage for char pointers
    std::deque<std::vector<int32_t>> records_;   // polygons and int arrays
};

template <class T> T SceneArgs::next()
{
    const SceneToken& t = take();
    if constexpr (std::is_integral_v<T>) {
        return static_cast<T>(integer(t.text));
    } else if constexpr (std::is_floating_point_v<T>) {
        return std::stof(t.text);
    } else if constexpr (std::is_same_v<T, const char*>) {
        if (!t.quoted && t.text == "null")
            return nullptr;
        if (!t.quoted && t.text == "keep")
            return reinterpret_cast<const char*>(-1);
        return texts_.emplace_back(t.text).c_str();
    } else if constexpr (std::is_same_v<T, HClass<Bitmap>> || std::is_same_v<T, HClass<ZelBitmap>>) {
        return T(bitmapNamed_(t.text).value);
    } else if constexpr (std::is_same_v<T, std::reference_wrapper<Bitmap>>) {
        static Bitmap none{};
        Bitmap* b = bitmapNamed_(t.text).get();
        if (!b)
            error_ = "no bitmap " + t.text;
        return std::ref(b ? *b : none);
    } else if constexpr (std::is_same_v<T, ZelVector2>) {
        const std::vector<int> v = integers(t.text, ',');
        return v.size() == 2 ? ZelVector2{v[0], v[1]} : ZelVector2{};
    } else if constexpr (std::is_same_v<T, Poly*>) {
        std::vector<int32_t>& record = records_.emplace_back(1, 0);
        for (const std::string& vertex : split(t.text, '/')) {
            const std::vector<int> xy = integers(vertex, ',');
            record.insert(record.end(), xy.begin(), xy.end());
        }
        record[0] = static_cast<int32_t>((record.size() - 1) / 2);
        return reinterpret_cast<Poly*>(record.data());
    } else if constexpr (std::is_same_v<T, int*>) {
        if (!t.quoted && t.text == "null")
            return nullptr;
        const std::vector<int> v = integers(t.text, ',');
        return records_.emplace_back(v.begin(), v.end()).data();
    } else {
        static_assert(std::is_void_v<T>, "no scene notation for this parameter type");
    }
}

// What a call gave back: text to compare with "-> ...", or a bitmap handle.
struct SceneResult {
    std::string text;
    bool isBitmap = false;
    unsigned short handle = 65535;
};

using SceneInvoker = std::function<SceneResult(SceneArgs&)>;

// Parameters held between reading and calling: a Bitmap& as a reference.
template <class P>
using SceneHeld = std::conditional_t<std::is_same_v<P, Bitmap&>, std::reference_wrapper<Bitmap>, std::decay_t<P>>;

template <class R, class... P> SceneInvoker sceneInvoker(R (*f)(P...))
{
    return [f](SceneArgs& a) {
        // A braced list reads the arguments left to right.
        std::tuple<SceneHeld<P>...> v{a.template next<SceneHeld<P>>()...};
        a.expectEnd();
        SceneResult r;
        if (!a.error().empty())
            return r;
        if constexpr (std::is_void_v<R>) {
            std::apply(f, v);
        } else if constexpr (std::is_same_v<R, HClass<Bitmap>> || std::is_same_v<R, HClass<ZelBitmap>>) {
            const auto b = std::apply(f, v);
            r.isBitmap = true;
            r.handle = b.value;
            r.text = b.isNull() ? "null" : "bitmap";
        } else if constexpr (std::is_same_v<R, std::string>) {
            r.text = std::apply(f, v);
        } else {
            r.text = std::to_string(static_cast<long long>(std::apply(f, v)));
        }
        return r;
    };
}

// Bytes as a scene line writes them in quotes: \n, \t, \", \\ and \xNN escaped.
std::string escape(const std::string& bytes);

// The library's calls by name; null for an unknown name.
const SceneInvoker* sceneCall(const std::string& name);
// Puts back what calls keep between them (the smart line).
void resetSceneCalls();
// Adds the video core's calls and its state read as text.
void addVideoCalls(std::map<std::string, SceneInvoker>& calls);
// Forgets what the replaced services recorded.
void resetVideoCalls();
// Adds the engine libraries' calls.
void addEngineCalls(std::map<std::string, SceneInvoker>& calls);
// Adds the calls on the disk file objects "file" and "other", and closes them.
void addFileCalls(std::map<std::string, SceneInvoker>& calls);
void closeSceneFiles();

}  // namespace zeltest
