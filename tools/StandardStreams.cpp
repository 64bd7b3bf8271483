#include "tools/StandardStreams.h"

#include <unistd.h>

#include <cstdio>
#include <stdexcept>

bool ReadStandardInput(size_t limit, const std::string& what, std::vector<uint8_t>& bytes,
                       std::string& error) {
    // One byte past the limit tells a stream that is too long from one that just fits.
    bytes.assign(limit + 1, 0);
    size_t done = 0;
    while (done < bytes.size()) {
        const size_t n = std::fread(bytes.data() + done, 1, bytes.size() - done, stdin);
        done += n;
        if (n == 0) {
            break;
        }
    }
    if (std::ferror(stdin)) {
        bytes.clear();
        error = "could not read " + what + " from standard input";
        return false;
    }
    if (done > limit) {
        bytes.clear();
        error = "standard input holds more than " + std::to_string(limit) +
                " bytes, far more than " + what + " takes";
        return false;
    }
    bytes.resize(done);
    return true;
}

void WriteStandardOutput(const void* data, size_t size) {
    const size_t written = std::fwrite(data, 1, size, stdout);
    if (written != size || std::fflush(stdout) != 0 || std::ferror(stdout)) {
        throw std::runtime_error("could not write the output");
    }
}

bool StandardOutputIsTerminal() {
    return ::isatty(STDOUT_FILENO) == 1;
}
