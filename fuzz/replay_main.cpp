// Runs a fuzz target's entry point once on every file of the directories (or
// files) named on the command line, in name order: how the test suite
// replays the seed corpus and every input that once made a target fail,
// without the fuzzing engine. A directory that does not exist counts as empty.

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv)
{
    namespace fs = std::filesystem;
    if (argc < 2) {
        std::cerr << "usage: " << (argc ? argv[0] : "replay") << " DIR|FILE...\n";
        return 2;
    }
    size_t total = 0;
    for (int i = 1; i < argc; ++i) {
        std::vector<fs::path> inputs;
        if (fs::is_regular_file(argv[i]))
            inputs.push_back(argv[i]);
        else if (fs::is_directory(argv[i]))
            for (const fs::directory_entry& entry : fs::directory_iterator(argv[i]))
                if (entry.is_regular_file() && entry.path().filename().string().front() != '.')
                    inputs.push_back(entry.path());
        std::sort(inputs.begin(), inputs.end());
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
