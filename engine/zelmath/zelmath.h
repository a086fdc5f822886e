// zelmath: the engine's integer trigonometry.
//
// Angles are binary: 65536 units make a full turn (ZelAngleFullTurn), so a
// quarter turn is 16384 and any int is a valid angle (only its low 16 bits
// count). Positive angles turn from the x axis toward the y axis. Results are
// fixed point with 2^20 standing for 1.0; quarter turns are exact (iSin of
// 16384 is exactly 1 << 20, iCos of it exactly 0).
#pragma once

#define ZELMATH_API __attribute__((visibility("default")))

constexpr int ZelAngleFullTurn = 65536;
constexpr int ZelAngleQuarterTurn = ZelAngleFullTurn / 4;
constexpr int ZelTrigOne = 1 << 20;

ZELMATH_API int iSin(int angle);
ZELMATH_API int iCos(int angle);
