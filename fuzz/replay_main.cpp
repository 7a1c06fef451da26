// Runs a fuzz target's LLVMFuzzerTestOneInput once over each file in the folders (or files)
// named on the command line (a missing one holds none), in name order: the kept corpus and every
// input that ever failed, checked by the normal test suite with the normal compiler and under the
// sanitizers, the same way on every run. A broken invariant aborts; the last input named on
// standard error is the one.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
// Defined by the targets that need a start-up of their own, as libFuzzer calls it.
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);

namespace fs = std::filesystem;

int main(int argc, char** argv) {
    if (LLVMFuzzerInitialize)
        LLVMFuzzerInitialize(&argc, &argv);
    std::vector<fs::path> inputs;
    for (int i = 1; i < argc; ++i) {
        const fs::path given(argv[i]);
        std::error_code error;
        if (fs::is_directory(given, error)) {
            for (const fs::directory_entry& entry : fs::directory_iterator(given, error))
                if (entry.is_regular_file() && entry.path().filename().string()[0] != '.')
                    inputs.push_back(entry.path()); // not .gitkeep
        } else if (fs::is_regular_file(given, error)) {
            inputs.push_back(given);
        } else if (!fs::exists(given, error)) {
            std::fprintf(stderr, "%s: not there; no inputs from it\n", argv[i]);
        } else {
            std::fprintf(stderr, "%s: neither a file nor a folder\n", argv[i]);
            return 2;
        }
        if (error) {
            std::fprintf(stderr, "%s: %s\n", argv[i], error.message().c_str());
            return 2;
        }
    }
    std::sort(inputs.begin(), inputs.end());
    for (const fs::path& path : inputs) {
        std::fprintf(stderr, "%s\n", path.c_str());
        std::ifstream file(path, std::ios::binary);
        std::vector<char> bytes{std::istreambuf_iterator<char>(file), {}};
        if (file.bad()) {
            std::fprintf(stderr, "%s: cannot read the file\n", path.c_str());
            return 2;
        }
        const size_t size = bytes.size();
        bytes.push_back('\0'); // never a null pointer, as under libFuzzer
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), size);
    }
    std::printf("%zu inputs replayed\n", inputs.size());
    return 0;
}
