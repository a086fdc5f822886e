// Shade tables computed from a palette: for every colour, the palette index it
// becomes at each of 64 darkness levels and 64 lightness levels. Used by zelgen
// for the standard tables and by the asset tools for any other palette.
#pragma once

#include <array>
#include <cstdint>

namespace zelassets {

// A palette entry in 8-bit components.
struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    friend constexpr bool operator==(Rgb, Rgb) = default;
};

using Palette = std::array<Rgb, 256>;

constexpr int ShadeLevels = 64;
constexpr int ShadeTableBytes = 256 * ShadeLevels;
using ShadeTable = std::array<std::uint8_t, ShadeTableBytes>;

// Row c, column k of each table is byte c * 64 + k.
// Dark column k serves shade value k + 1: colour c moved toward the dark target
// by (k + 1) / 64, so column 63 is the dark target itself.
// Light column k serves shade value -k: colour c moved toward the light target
// by k / 64, so column 0 is c itself.
struct ShadeTables {
    ShadeTable dark{};
    ShadeTable light{};
};

// Which palette entries a nearest-colour search may answer with. Index 0 is
// the transparent colour of sprites: a visible pixel mapped to it would vanish.
enum class Candidates { All, Opaque };

// Perceptual distance between two colours: the "redmean" weighted squared RGB
// distance, scaled by 512 so that it stays an exact integer. 0 only for equal
// colours.
std::uint32_t colourDistance(Rgb a, Rgb b);

// from moved toward to by amount / 64 (amount 0 to 64), rounded per component.
Rgb mixToward(Rgb from, Rgb to, int amount);

// Index of the palette entry nearest target by colourDistance. When preferred
// (an index, or -1 for none) equals target exactly it wins; otherwise ties go
// to the lowest index. With Candidates::Opaque index 0 is never the answer.
int nearestColour(const Palette& palette, Rgb target, Candidates candidates, int preferred = -1);

// Both tables of a palette. Each entry is the nearest colour to the mixed
// target, preferring c itself on an exact match (so light column 0 is the
// identity). Index 0 is a candidate only in row 0: a darkened or lightened
// sprite pixel must never turn transparent, even when the target is black
// and palette entry 0 is black too. Row 0 serves screen pixels of colour 0,
// which show palette entry 0 like any other colour, so all entries may answer.
ShadeTables buildShadeTables(const Palette& palette, Rgb darkTarget = {0, 0, 0},
                             Rgb lightTarget = {255, 255, 255});

} // namespace zelassets
