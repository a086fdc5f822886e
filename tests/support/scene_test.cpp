// Every scene file of the folder this test program is built for, one test
// each, run on every CPU path this CPU has: every path must give the
// pictures, counters and results the file holds.

#include <cstdlib>
#include <iostream>

#include <gtest/gtest.h>

#include "scene.h"
#include "test_support.h"

namespace {

class Scenes : public testing::TestWithParam<std::string> {};

TEST_P(Scenes, DrawAsWritten)
{
    const CpuPath saved = cpuPath();
    const char* update = std::getenv("ZEL_UPDATE_GOLDEN");
    for (CpuPath path : {CpuPath::Plain, CpuPath::Sse2, CpuPath::Avx2, CpuPath::Avx512}) {
        if (path > widestCpuPath()) {
            std::cout << "skipped the " << zeltest::cpuPathName(path) << " path: this CPU does not run it\n";
            continue;
        }
        // An update writes what the path in use draws, once.
        if (update && *update == '1' && path != saved)
            continue;
        selectCpuPath(path);
        for (const std::string& failure : zeltest::runSceneFile(GetParam()))
            ADD_FAILURE() << zeltest::cpuPathName(path) << " path: " << failure;
    }
    selectCpuPath(saved);
}

INSTANTIATE_TEST_SUITE_P(Files, Scenes, testing::ValuesIn(zeltest::sceneFiles(ZELTEST_SCENE_FOLDER)),
                         [](const testing::TestParamInfo<std::string>& info) {
                             std::string name = info.param.substr(info.param.rfind('/') + 1);
                             return name.substr(0, name.find('.'));
                         });

}  // namespace
