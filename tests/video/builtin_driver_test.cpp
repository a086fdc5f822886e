// Built-in modules: found before files, counted as files are, linked just as the same driver from its file.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cout_capture.h"
#include "driver_fixture.h"
#include "video/driver.h"
#include "video/last_error.h"
#include "video/video.h"

namespace {

using BuiltinModule = zeltest::DriverTest;

TEST_F(BuiltinModule, IsFoundBeforeFilesAndCountedLikeOne)
{
    static int marker;
    static const ZelModuleExport exports[] = {{"hookDevice", &marker}, {nullptr, nullptr}};
    writeFile("shadowed.drv", "a file of the same name, no module");
    setenv("ZEL_DRIVER_PATH", root.c_str(), 1);
    ASSERT_NE(AddBuiltinModule("shadowed.drv", exports), 0);
    EXPECT_FALSE(AddBuiltinModule("SHADOWED.DRV", exports) || AddBuiltinModule(nullptr, exports) ||
                 AddBuiltinModule("other.drv", nullptr) || AddBuiltinModule(std::string(80, 'x').c_str(), exports));
    EXPECT_EQ(zelGetError(), "the name of the built-in module " + std::string(80, 'x') + " is longer than 79 characters");
    const HMODULE a = LoadLibraryA("Shadowed.drv"), b = LoadLibraryA("shadowed.drv");
    unsetenv("ZEL_DRIVER_PATH");
    ASSERT_TRUE(a >= 32 && a == b && GetProcAddress(a, "hookDevice") == &marker && !GetProcAddress(a, "refresh"));
    EXPECT_NE(FreeLibrary(a) * FreeLibrary(b), 0);
    EXPECT_TRUE(!FreeLibrary(a) && !GetProcAddress(a, "hookDevice"));  // no reference left
    EXPECT_EQ(LoadLibraryA((root + "/shadowed.drv").c_str()), 0u);  // a path is that file alone
}

TEST_F(BuiltinModule, LinksAsTheSameDriverFromItsFile)
{
    static std::vector<ZelModuleExport> tables[4];
    for (int v = 0; const std::string file : {"testdrv", "testdrv_nohook", "testdrv_norefresh", "testdrv_modefail"}) {
        std::vector<ZelModuleExport>& table = tables[v++];
        const HMODULE module = LoadLibraryA((file + ".drv").c_str());
        ASSERT_GE(module, 32u) << file;  // its exports become those of the built-in module:
        for (const char* name : {"hookDevice", "refresh", "setVideoMode", "setTextMode", "setPalette", "winEvent",
                                 "disableLowerBar", "shake", "testDriverState"})
            if (void* address = GetProcAddress(module, name))
                table.push_back({name, address});
        table.push_back({nullptr, nullptr});
        ASSERT_NE(AddBuiltinModule(("built_" + file + ".drv").c_str(), table.data()), 0) << zelGetError();
        std::string said[2], why[2];  // what it printed (up to a pointer) and recorded; its result and calls
        int linked[2], calls[2];
        for (int k = 0; k < 2; ++k) {
            zeltest::CoutCapture out;
            zelClearError();
            linked[k] = setGraphicsDriver(((k ? "built_" : "") + file).c_str());
            calls[k] = stateOf(module)->hooks * 100 + stateOf(module)->videoModes;
            said[k] = out.text().substr(0, out.text().find("Video Mem: "));
            why[k] = zelGetError();
            deinitGraphics();
        }
        EXPECT_TRUE(linked[1] == linked[0] && said[1] == said[0]) << file << ": " << said[1];
        EXPECT_EQ(why[1], why[0].empty() ? "" : "built_" + why[0]);
        EXPECT_EQ(calls[1], 2 * calls[0]) << file;  // as many calls again
        const HMODULE again = LoadLibraryA(("built_" + file + ".drv").c_str());  // the library kept no reference:
        EXPECT_TRUE(FreeLibrary(again) && !FreeLibrary(again)) << file;
        FreeLibrary(module);
    }
}

}  // namespace
