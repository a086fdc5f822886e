// The standard palette that ships as standard.pal.
//
// Layout:
//   0        black; the transparent colour of sprites, never a visible colour
//   1        dark navy background (the screen is cleared to it at start-up)
//   2        white
//   3, 4     light and mid grey
//   5        blue
//   6, 7     red, green
//   8        dark grey: the shadow colour of the library's bevelled boxes,
//            whose face (24) and light (31) come from the grey ramp
//   9 - 12   yellow, cyan, magenta, orange
//   13 - 15  UI bevel: highlight, face, shadow
//   16 - 31  grey ramp, 16 steps from black (16, an opaque black for sprites)
//            to white (31, the library's default text colour)
//   32 - 255 fourteen ramps of 16 steps, each from near black (first index)
//            through the full colour (first + 9) to a pale tint (first + 15):
//            red, orange, brown, yellow, green, olive, teal, sky, blue,
//            purple, pink, skin, slate, sand
//
// Fonts draw glyph value 1 in the text colour itself, so any index serves as a
// text colour; White, Yellow and the top steps of a ramp read well on the
// background.
#pragma once

#include "tools/assets/shade_builder.h"

namespace zelassets {

namespace StandardColour {
enum : int {
    Transparent = 0,
    Background = 1,
    White = 2,
    LightGrey = 3,
    MidGrey = 4,
    Blue = 5,
    Red = 6,
    Green = 7,
    DarkGrey = 8,
    Yellow = 9,
    Cyan = 10,
    Magenta = 11,
    Orange = 12,
    BevelLight = 13,
    BevelFace = 14,
    BevelDark = 15,
    GreyRamp = 16,
    RedRamp = 32,
    OrangeRamp = 48,
    BrownRamp = 64,
    YellowRamp = 80,
    GreenRamp = 96,
    OliveRamp = 112,
    TealRamp = 128,
    SkyRamp = 144,
    BlueRamp = 160,
    PurpleRamp = 176,
    PinkRamp = 192,
    SkinRamp = 208,
    SlateRamp = 224,
    SandRamp = 240,
};
constexpr int RampSteps = 16;
constexpr int RampFull = 9; // step of a hue ramp that holds its full colour
} // namespace StandardColour

const Palette& standardPalette();

} // namespace zelassets
