// The performance counter over the monotonic clock, in nanoseconds.

#include <ctime>

#include "platform/platform.h"

int QueryPerformanceFrequency(int64_t* frequency)
{
    *frequency = 1000000000;
    return 1;
}

int QueryPerformanceCounter(int64_t* counter)
{
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    *counter = static_cast<int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
    return 1;
}
