// A fuzz target's inputs replayed without libFuzzer: every file named on the
// command line, and every file in each folder named, in name order. The test
// builds run each target over its corpus this way (any compiler, with the
// sanitizers in the asan build); an input that breaks a property ends the run
// with its name as the last line before the target's message.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

std::vector<std::filesystem::path> inputsNamed(int argc, char** argv)
{
    std::vector<std::filesystem::path> inputs;
    for (int i = 1; i < argc; ++i) {
        const std::filesystem::path named(argv[i]);
        if (!std::filesystem::is_directory(named)) {
            inputs.push_back(named);
            continue;
        }
        std::vector<std::filesystem::path> inFolder;
        for (const auto& entry : std::filesystem::directory_iterator(named)) {
            if (entry.is_regular_file())
                inFolder.push_back(entry.path());
        }
        std::sort(inFolder.begin(), inFolder.end());
        inputs.insert(inputs.end(), inFolder.begin(), inFolder.end());
    }
    return inputs;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::vector<std::filesystem::path> inputs = inputsNamed(argc, argv);
    if (inputs.empty()) {
        std::fprintf(stderr, "usage: %s CORPUS_FOLDER_OR_FILE...  (no inputs found)\n", argv[0]);
        return 2;
    }
    for (const std::filesystem::path& input : inputs) {
        std::ifstream file(input, std::ios::binary);
        if (!file) {
            std::fprintf(stderr, "cannot read %s\n", input.c_str());
            return 2;
        }
        const std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        std::fprintf(stderr, "%s\n", input.c_str());
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    }
    std::printf("%zu inputs replayed, every property held\n", inputs.size());
    return 0;
}
