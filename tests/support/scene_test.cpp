// Every scene file of the folder this test program is built for, one test
// each.

#include <gtest/gtest.h>

#include "scene.h"

namespace {

class Scenes : public testing::TestWithParam<std::string> {};

TEST_P(Scenes, DrawAsWritten)
{
    for (const std::string& failure : zeltest::runSceneFile(GetParam()))
        ADD_FAILURE() << failure;
}

INSTANTIATE_TEST_SUITE_P(Files, Scenes, testing::ValuesIn(zeltest::sceneFiles(ZELTEST_SCENE_FOLDER)),
                         [](const testing::TestParamInfo<std::string>& info) {
                             std::string name = info.param.substr(info.param.rfind('/') + 1);
                             return name.substr(0, name.find('.'));
                         });

}  // namespace
