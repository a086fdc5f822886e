// Scenes: drawing cases kept as data beside the tests. A scene file holds
// cases; each sets up a small Screen with bitmaps, a font and shade tables,
// makes library calls by name and checks pictures, printed text, counters
// and results. The notation is described at the top of scene.cpp.
#pragma once

#include <string>
#include <vector>

namespace zeltest {

// Runs every case of a scene file (path relative to tests/) and returns the
// failures, each naming the file, the line and the case.
std::vector<std::string> runSceneFile(const std::string& relative);

// The scene files of a folder of tests/, sorted, for parameterised tests.
std::vector<std::string> sceneFiles(const std::string& folder);

}  // namespace zeltest
