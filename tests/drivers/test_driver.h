// What the test driver modules record, read by the tests through the
// module's exported testDriverState().
#pragma once

#include <cstdint>

struct TestDriverState {
    int width = 64;   // size reported by hookDevice (ZEL_TESTDRV_SIZE=WxH overrides)
    int height = 40;
    unsigned char** videoMemory = nullptr;
    int hooks = 0;
    int refreshes = 0;
    int videoModes = 0;
    int textModes = 0;
    int lastShake = 0;
    int paletteCalls = 0;
    uintptr_t lastModeArgument = 0;
    unsigned char palette[768] = {};    // as loaded by setPalette calls
    unsigned char firstPixelAtRefresh = 0;
    int refreshedBytesNotFirst = 0;     // bytes that differed from the first at the last refresh
};

typedef TestDriverState* (*TestDriverStateFn)();
