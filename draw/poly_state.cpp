// The polygon span buffers and their row window, with their load-time values.

#include "draw/poly.h"

HClass<Point> polyBuffer;
HClass<Point> gouraudBuffer;
int32_t polyMinY = 0;
int32_t polyMaxY = 0;
int32_t polyMinX = 0;
int32_t polyMaxX = 0;
int32_t polyHeight = 0;
int32_t polyStartIndex = 0;
int32_t polyStopIndex = -1;
