// Test fixture for code that links the test driver modules: temporary data
// files under a fresh "ufsroot", and a full reset of the video core after
// each test.
#pragma once

#include <string>

#include <gtest/gtest.h>

#include "../drivers/test_driver.h"
#include "platform/platform.h"

namespace zeltest {

// The standard test system files below root: test.pal (entry i is i,
// 255 - i, 7 i), test.DRK (all 2), test.LHT (all 3) and test.fnt (one 2 x 3
// glyph for 'A').
void writeTestSystemFiles(const std::string& root);

class DriverTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The recording state of a loaded test driver module.
    static TestDriverState* stateOf(HMODULE module)
    {
        const auto state = reinterpret_cast<TestDriverStateFn>(GetProcAddress(module, "testDriverState"));
        return state ? state() : nullptr;
    }
    // True while the module is loaded.
    static bool loaded(HMODULE module) { return stateOf(module) != nullptr; }

    // Writes a file below the data root (dir relative to it, e.g. "CDDATA/SYSTEM").
    void writeFile(const std::string& relative, const std::string& bytes) const;
    // A standard set of system files: test.pal, test.DRK, test.LHT, test.fnt.
    void writeSystemFiles() const { writeTestSystemFiles(root); }

    std::string root;
    size_t liveBefore = 0;
};

}  // namespace zeltest
