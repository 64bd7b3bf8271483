// Fuzz target: the bytes are a PNG picture that may carry a creature code. Walking its
// chunks must stay within the bytes and give at most a code of bounded length; a code put
// into any picture that takes one must be the code read back from it.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "MorphExercise.h"
#include "document/PictureCode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::optional<std::string> code = FindCodeInPng(data, size);
    FuzzCheck(!code || code->size() <= kMaxStoredCodeLength, "a PNG gave too long a code");

    const std::string added = "Q15X2-GE51B-WD418-B4EGE-MPX29-J7RDB-N2R0";
    std::vector<uint8_t> png(data, data + size);
    if (AddCodeToPng(png, added)) {
        FuzzCheck(png.size() == size + 12 + 14 + added.size(), "the code chunk has a wrong size");
        FuzzCheck(FindCodeInPng(png.data(), png.size()) == added,
                  "a code put into a picture does not read back");
    } else {
        FuzzCheck(png == std::vector<uint8_t>(data, data + size), "a refused picture changed");
    }
    return 0;
}
