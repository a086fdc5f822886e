// Sine and cosine from one quarter wave, mirrored into the other quadrants so
// that the curve is exactly symmetric and quarter turns come out exact.

#include "engine/zelmath/zelmath.h"

#include <array>
#include <cmath>

namespace {

std::array<int, ZelAngleQuarterTurn + 1> makeQuarterWave()
{
    std::array<int, ZelAngleQuarterTurn + 1> wave{};
    const double step = std::acos(-1.0) / 2.0 / ZelAngleQuarterTurn;
    for (int i = 0; i <= ZelAngleQuarterTurn; ++i)
        wave[i] = static_cast<int>(std::lround(std::sin(i * step) * ZelTrigOne));
    wave[ZelAngleQuarterTurn] = ZelTrigOne;
    return wave;
}

const std::array<int, ZelAngleQuarterTurn + 1>& quarterWave()
{
    static const auto wave = makeQuarterWave();
    return wave;
}

}  // namespace

int iSin(int angle)
{
    const unsigned a = static_cast<unsigned>(angle) & (ZelAngleFullTurn - 1);
    const unsigned quadrant = a / ZelAngleQuarterTurn;
    const unsigned within = a % ZelAngleQuarterTurn;
    const auto& wave = quarterWave();
    switch (quadrant) {
    case 0: return wave[within];
    case 1: return wave[ZelAngleQuarterTurn - within];
    case 2: return -wave[within];
    default: return -wave[ZelAngleQuarterTurn - within];
    }
}

int iCos(int angle)
{
    return iSin(static_cast<int>(static_cast<unsigned>(angle) + ZelAngleQuarterTurn));
}
