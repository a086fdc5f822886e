#include "tools/zeltool/quantiser.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <unordered_set>

namespace zeltool {

namespace {

constexpr int Side = 33;  // 32 levels per channel and a zero plane for the prefix sums

constexpr int at(int r, int g, int b)
{
    return (r * Side + g) * Side + b;
}

// The moments of the colour histogram, summed cumulatively so that the
// moment of any box is eight lookups.
struct Moments {
    std::vector<std::int64_t> weight, red, green, blue;
    std::vector<double> square;  // sum of r^2 + g^2 + b^2

    Moments() : weight(Side * Side * Side), red(weight.size()), green(weight.size()), blue(weight.size()),
                square(weight.size()) {}
};

struct Box {
    int r0, r1, g0, g1, b0, b1;  // lower bounds exclusive, upper inclusive
};

enum Channel { Red, Green, Blue };

template <class T>
T volume(const Box& x, const std::vector<T>& m)
{
    return m[at(x.r1, x.g1, x.b1)] - m[at(x.r1, x.g1, x.b0)] - m[at(x.r1, x.g0, x.b1)] + m[at(x.r1, x.g0, x.b0)] -
           m[at(x.r0, x.g1, x.b1)] + m[at(x.r0, x.g1, x.b0)] + m[at(x.r0, x.g0, x.b1)] - m[at(x.r0, x.g0, x.b0)];
}

// The part of volume() that does not depend on the cut position in channel c.
std::int64_t bottom(const Box& x, Channel c, const std::vector<std::int64_t>& m)
{
    switch (c) {
    case Red:
        return -m[at(x.r0, x.g1, x.b1)] + m[at(x.r0, x.g1, x.b0)] + m[at(x.r0, x.g0, x.b1)] - m[at(x.r0, x.g0, x.b0)];
    case Green:
        return -m[at(x.r1, x.g0, x.b1)] + m[at(x.r1, x.g0, x.b0)] + m[at(x.r0, x.g0, x.b1)] - m[at(x.r0, x.g0, x.b0)];
    case Blue:
        break;
    }
    return -m[at(x.r1, x.g1, x.b0)] + m[at(x.r1, x.g0, x.b0)] + m[at(x.r0, x.g1, x.b0)] - m[at(x.r0, x.g0, x.b0)];
}

// The rest of volume() for the box's upper bound in channel c set to pos.
std::int64_t top(const Box& x, Channel c, int pos, const std::vector<std::int64_t>& m)
{
    switch (c) {
    case Red:
        return m[at(pos, x.g1, x.b1)] - m[at(pos, x.g1, x.b0)] - m[at(pos, x.g0, x.b1)] + m[at(pos, x.g0, x.b0)];
    case Green:
        return m[at(x.r1, pos, x.b1)] - m[at(x.r1, pos, x.b0)] - m[at(x.r0, pos, x.b1)] + m[at(x.r0, pos, x.b0)];
    case Blue:
        break;
    }
    return m[at(x.r1, x.g1, pos)] - m[at(x.r1, x.g0, pos)] - m[at(x.r0, x.g1, pos)] + m[at(x.r0, x.g0, pos)];
}

double variance(const Box& x, const Moments& m)
{
    const double r = static_cast<double>(volume(x, m.red)), g = static_cast<double>(volume(x, m.green)),
                 b = static_cast<double>(volume(x, m.blue));
    const double w = static_cast<double>(volume(x, m.weight));
    return w > 0 ? volume(x, m.square) - (r * r + g * g + b * b) / w : 0;
}

struct Sums {
    std::int64_t r, g, b, w;
};

// The cut in channel c between first and last that maximises the summed
// squared means of both halves; -1 as position when no cut leaves both
// halves with pixels.
std::pair<double, int> bestCut(const Box& x, Channel c, int first, int last, const Sums& whole, const Moments& m)
{
    const Sums base{bottom(x, c, m.red), bottom(x, c, m.green), bottom(x, c, m.blue), bottom(x, c, m.weight)};
    double best = 0;
    int cut = -1;
    for (int i = first; i < last; ++i) {
        Sums half{base.r + top(x, c, i, m.red), base.g + top(x, c, i, m.green), base.b + top(x, c, i, m.blue),
                  base.w + top(x, c, i, m.weight)};
        if (half.w == 0)
            continue;
        double score = (static_cast<double>(half.r) * half.r + static_cast<double>(half.g) * half.g +
                        static_cast<double>(half.b) * half.b) / static_cast<double>(half.w);
        half = {whole.r - half.r, whole.g - half.g, whole.b - half.b, whole.w - half.w};
        if (half.w == 0)
            continue;
        score += (static_cast<double>(half.r) * half.r + static_cast<double>(half.g) * half.g +
                  static_cast<double>(half.b) * half.b) / static_cast<double>(half.w);
        if (score > best) {
            best = score;
            cut = i;
        }
    }
    return {best, cut};
}

// Splits a into a and b along the channel and place that reduce the error
// most; false when a cannot be split.
bool split(Box& a, Box& b, const Moments& m)
{
    const Sums whole{volume(a, m.red), volume(a, m.green), volume(a, m.blue), volume(a, m.weight)};
    const auto [red, cutR] = bestCut(a, Red, a.r0 + 1, a.r1, whole, m);
    const auto [green, cutG] = bestCut(a, Green, a.g0 + 1, a.g1, whole, m);
    const auto [blue, cutB] = bestCut(a, Blue, a.b0 + 1, a.b1, whole, m);
    b = a;
    if (red >= green && red >= blue) {
        if (cutR < 0)
            return false;
        a.r1 = b.r0 = cutR;
    } else if (green >= blue) {
        a.g1 = b.g0 = cutG;
    } else {
        a.b1 = b.b0 = cutB;
    }
    return true;
}

Moments histogram(const Image& rgba)
{
    Moments m;
    for (std::size_t i = 0; i < rgba.pixelCount(); ++i) {
        const std::uint8_t* p = rgba.pixels.data() + 4 * i;
        if (p[3] == 0)
            continue;
        const int k = at((p[0] >> 3) + 1, (p[1] >> 3) + 1, (p[2] >> 3) + 1);
        m.weight[k] += 1;
        m.red[k] += p[0];
        m.green[k] += p[1];
        m.blue[k] += p[2];
        m.square[k] += p[0] * p[0] + p[1] * p[1] + p[2] * p[2];
    }
    // Prefix sums over the three axes in turn.
    const auto accumulate = [](auto& v) {
        for (int r = 1; r < Side; ++r)
            for (int g = 0; g < Side; ++g)
                for (int b = 0; b < Side; ++b)
                    v[at(r, g, b)] += v[at(r - 1, g, b)];
        for (int r = 0; r < Side; ++r)
            for (int g = 1; g < Side; ++g)
                for (int b = 0; b < Side; ++b)
                    v[at(r, g, b)] += v[at(r, g - 1, b)];
        for (int r = 0; r < Side; ++r)
            for (int g = 0; g < Side; ++g)
                for (int b = 1; b < Side; ++b)
                    v[at(r, g, b)] += v[at(r, g, b - 1)];
    };
    accumulate(m.weight);
    accumulate(m.red);
    accumulate(m.green);
    accumulate(m.blue);
    accumulate(m.square);
    return m;
}

// The picture's distinct visible colours in order of their value; fits is
// false (and nothing returned) when there are more than count.
std::vector<Rgb> ownColours(const Image& rgba, int count, bool& fits)
{
    std::unordered_set<std::uint32_t> seen;
    for (std::size_t i = 0; i < rgba.pixelCount(); ++i) {
        const std::uint8_t* p = rgba.pixels.data() + 4 * i;
        if (p[3] != 0 && seen.insert(static_cast<std::uint32_t>(p[0] << 16 | p[1] << 8 | p[2])).second &&
            seen.size() > static_cast<std::size_t>(count)) {
            fits = false;
            return {};
        }
    }
    fits = true;
    std::vector<std::uint32_t> sorted(seen.begin(), seen.end());
    std::sort(sorted.begin(), sorted.end());
    std::vector<Rgb> colours;
    for (std::uint32_t c : sorted)
        colours.push_back({static_cast<std::uint8_t>(c >> 16), static_cast<std::uint8_t>(c >> 8),
                           static_cast<std::uint8_t>(c)});
    return colours;
}

}  // namespace

std::vector<Rgb> quantise(const Image& rgba, int count)
{
    if (count < 1)
        return {};
    bool fits = false;
    std::vector<Rgb> own = ownColours(rgba, count, fits);
    if (fits)
        return own;

    const Moments m = histogram(rgba);
    std::vector<Box> boxes(static_cast<std::size_t>(count));
    std::vector<double> error(boxes.size(), 0);
    boxes[0] = {0, Side - 1, 0, Side - 1, 0, Side - 1};
    error[0] = variance(boxes[0], m);
    int made = 1, next = 0;
    while (made < count) {
        if (split(boxes[static_cast<std::size_t>(next)], boxes[static_cast<std::size_t>(made)], m)) {
            for (int k : {next, made}) {
                const Box& x = boxes[static_cast<std::size_t>(k)];
                const int cells = (x.r1 - x.r0) * (x.g1 - x.g0) * (x.b1 - x.b0);
                error[static_cast<std::size_t>(k)] = cells > 1 ? variance(x, m) : 0;
            }
            ++made;
        } else {
            error[static_cast<std::size_t>(next)] = 0;  // cannot be split further
        }
        next = static_cast<int>(std::max_element(error.begin(), error.begin() + made) - error.begin());
        if (error[static_cast<std::size_t>(next)] <= 0)
            break;
    }

    std::vector<Rgb> colours;
    for (int k = 0; k < made; ++k) {
        const Box& x = boxes[static_cast<std::size_t>(k)];
        const std::int64_t w = volume(x, m.weight);
        if (w == 0)
            continue;
        const auto mean = [&](const std::vector<std::int64_t>& v) {
            return static_cast<std::uint8_t>((volume(x, v) + w / 2) / w);
        };
        colours.push_back({mean(m.red), mean(m.green), mean(m.blue)});
    }
    return colours;
}

}  // namespace zeltool
