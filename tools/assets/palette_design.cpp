#include "tools/assets/palette_design.h"

#include <iterator>

namespace zelassets {

namespace {

namespace SC = StandardColour;

// A hue ramp by three anchors: its darkest step, its full colour at step
// RampFull and its palest step; the steps between are linear blends.
struct Ramp {
    int first;
    Rgb dark, full, pale;
};

constexpr Ramp hueRamps[] = {
    {SC::RedRamp, {40, 4, 4}, {220, 36, 28}, {255, 200, 184}},
    {SC::OrangeRamp, {44, 16, 2}, {240, 120, 20}, {255, 222, 172}},
    {SC::BrownRamp, {24, 12, 6}, {140, 84, 44}, {222, 186, 142}},
    {SC::YellowRamp, {40, 32, 0}, {236, 204, 24}, {255, 252, 196}},
    {SC::GreenRamp, {4, 28, 6}, {48, 176, 56}, {200, 255, 190}},
    {SC::OliveRamp, {12, 20, 4}, {96, 128, 40}, {214, 228, 160}},
    {SC::TealRamp, {0, 24, 24}, {24, 160, 150}, {190, 250, 236}},
    {SC::SkyRamp, {2, 22, 40}, {60, 170, 230}, {210, 240, 255}},
    {SC::BlueRamp, {4, 6, 44}, {44, 72, 220}, {196, 210, 255}},
    {SC::PurpleRamp, {20, 4, 36}, {130, 56, 200}, {226, 200, 255}},
    {SC::PinkRamp, {36, 4, 24}, {216, 64, 150}, {255, 206, 232}},
    {SC::SkinRamp, {40, 20, 12}, {200, 140, 100}, {255, 228, 206}},
    {SC::SlateRamp, {12, 14, 20}, {100, 112, 136}, {220, 228, 240}},
    {SC::SandRamp, {30, 24, 14}, {180, 156, 110}, {246, 236, 206}},
};
static_assert(std::size(hueRamps) * SC::RampSteps == 256 - SC::RedRamp);

Rgb blend(Rgb a, Rgb b, int step, int steps)
{
    const auto mix = [&](int x, int y) {
        return static_cast<std::uint8_t>((x * (steps - step) + y * step + steps / 2) / steps);
    };
    return {mix(a.r, b.r), mix(a.g, b.g), mix(a.b, b.b)};
}

Palette design()
{
    Palette p{};
    p[SC::Transparent] = {0, 0, 0};
    p[SC::Background] = {20, 24, 40};
    p[SC::White] = {255, 255, 255};
    p[SC::LightGrey] = {192, 192, 192};
    p[SC::MidGrey] = {128, 128, 128};
    p[SC::DarkGrey] = {72, 72, 80};
    p[SC::Red] = {224, 40, 40};
    p[SC::Green] = {48, 200, 64};
    p[SC::Blue] = {48, 96, 232};
    p[SC::Yellow] = {248, 224, 48};
    p[SC::Cyan] = {48, 216, 224};
    p[SC::Magenta] = {216, 56, 208};
    p[SC::Orange] = {248, 144, 32};
    p[SC::BevelLight] = {216, 220, 232};
    p[SC::BevelFace] = {152, 156, 172};
    p[SC::BevelDark] = {80, 84, 100};

    for (int i = 0; i < SC::RampSteps; ++i) {
        const auto v = static_cast<std::uint8_t>(i * 255 / (SC::RampSteps - 1));
        p[SC::GreyRamp + i] = {v, v, v};
    }

    constexpr int paleSteps = SC::RampSteps - 1 - SC::RampFull;
    for (const Ramp& ramp : hueRamps) {
        for (int i = 0; i <= SC::RampFull; ++i)
            p[ramp.first + i] = blend(ramp.dark, ramp.full, i, SC::RampFull);
        for (int i = 1; i <= paleSteps; ++i)
            p[ramp.first + SC::RampFull + i] = blend(ramp.full, ramp.pale, i, paleSteps);
    }
    return p;
}

} // namespace

const Palette& standardPalette()
{
    static const Palette palette = design();
    return palette;
}

} // namespace zelassets
