// Runs a fuzz target's entry point once on every file of the directories (or
// files) named on the command line, in name order: how the test suite
// replays the seed corpus and every input that once made a target fail,
// without the fuzzing engine.

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> inputsIn(const fs::path& where)
{
    std::vector<fs::path> found;
    if (fs::is_regular_file(where)) {
        found.push_back(where);
    } else if (fs::is_directory(where)) {
        for (const fs::directory_entry& entry : fs::directory_iterator(where))
            if (entry.is_regular_file() && entry.path().filename().string().front() != '.')
                found.push_back(entry.path());
    }
    std::sort(found.begin(), found.end());
    return found;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || std::string(argv[1]) == "--help") {
        std::cerr << "usage: " << (argc ? argv[0] : "replay") << " DIR|FILE...\n"
                  << "Runs the fuzz target once on every input file; a directory that does not\n"
                  << "exist counts as empty. Exits 0 when every input ran.\n";
        return argc < 2 ? 2 : 0;
    }
    size_t total = 0;
    for (int i = 1; i < argc; ++i) {
        const std::vector<fs::path> inputs = inputsIn(argv[i]);
        for (const fs::path& input : inputs) {
            std::ifstream in(input, std::ios::binary);
            const std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
            if (!in.good() && !in.eof()) {
                std::cerr << "cannot read " << input.string() << '\n';
                return 1;
            }
            LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
        }
        std::cout << inputs.size() << " inputs from " << argv[i] << '\n';
        total += inputs.size();
    }
    std::cout << total << " inputs replayed\n";
    return 0;
}
