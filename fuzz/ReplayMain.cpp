// Runs a fuzz target without libFuzzer: every file named on the command line, and every file
// in every folder named there, goes once through LLVMFuzzerTestOneInput. This keeps the seed
// corpus and each input that ever crashed a target running as an ordinary test on any
// compiler, sanitizers or not.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace fs = std::filesystem;

namespace {

bool ReadInput(const fs::path& path, std::vector<char>& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FILE-OR-FOLDER...\n", argv[0]);
        return 2;
    }
    std::vector<fs::path> inputs;
    for (int i = 1; i < argc; ++i) {
        const fs::path arg(argv[i]);
        std::error_code ec;
        if (fs::is_directory(arg, ec)) {
            for (const fs::directory_entry& entry : fs::directory_iterator(arg, ec)) {
                if (entry.is_regular_file()) {
                    inputs.push_back(entry.path());
                }
            }
        } else if (fs::is_regular_file(arg, ec)) {
            inputs.push_back(arg);
        } else {
            std::fprintf(stderr, "%s: no such file or folder\n", argv[i]);
            return 2;
        }
    }
    // A fixed order, so a failure names the same input on every run.
    std::sort(inputs.begin(), inputs.end());
    // A corpus folder that has gone missing or empty must not pass as a clean run.
    if (inputs.empty()) {
        std::fprintf(stderr, "no inputs found\n");
        return 2;
    }

    std::vector<char> bytes;
    for (const fs::path& path : inputs) {
        if (!ReadInput(path, bytes)) {
            std::fprintf(stderr, "%s: cannot read\n", path.string().c_str());
            return 2;
        }
        std::printf("%s (%zu bytes)\n", path.string().c_str(), bytes.size());
        std::fflush(stdout);
        // A buffer of exactly the input's size, as libFuzzer gives, so that AddressSanitizer
        // sees a read one byte past the end.
        std::unique_ptr<uint8_t[]> data(new uint8_t[bytes.size()]);
        std::copy(bytes.begin(), bytes.end(), data.get());
        LLVMFuzzerTestOneInput(data.get(), bytes.size());
    }
    std::printf("%zu inputs ran\n", inputs.size());
    return 0;
}
