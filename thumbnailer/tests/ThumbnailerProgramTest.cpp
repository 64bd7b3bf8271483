// The thumbnailer as the file managers' thumbnail services run it, through its command line.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QImage>
#include <filesystem>
#include <string>
#include <vector>

#include "document/BioFile.h"
#include "model/BioMorph.h"

extern char** environ;

namespace {

// The thumbnailer's exit status, or -1 if it did not exit by itself.
int RunThumbnailer(const std::string& input, const std::string& output, const std::string& size) {
    std::vector<std::string> args = {QUORVALE_THUMBNAILER, input, output, size};
    std::vector<char*> argv;
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    pid_t child = 0;
    if (::posix_spawn(&child, argv[0], nullptr, nullptr, argv.data(), environ) != 0) {
        return -1;
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A service that makes the output file itself, holds it open while the thumbnailer runs and
// then reads the picture back through its own handle sees the picture only if it was written
// into that very file, not into a new one renamed over its name.
TEST(ThumbnailerProgram, TheCallerReadsThePictureThroughTheHandleItHolds) {
    char tmpl[] = "/tmp/quorvale-thumbnailer-XXXXXX";
    ASSERT_NE(::mkdtemp(tmpl), nullptr);
    const std::string dir = tmpl;
    CBioMorph morph;
    morph.SetGenes(kBasicGenes);
    const std::vector<uint8_t> bytes = EncodeBioFile(morph);
    const std::string input = dir + "/insect.bio";
    const int fd = ::open(input.c_str(), O_WRONLY | O_CREAT, 0644);
    ASSERT_EQ(::write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    ::close(fd);
    std::string output = dir + "/tumbler-XXXXXX.png";
    const int held = ::mkstemps(output.data(), 4);
    ASSERT_GE(held, 0);

    const int status = RunThumbnailer(input, output, "128");
    std::vector<uint8_t> png(1 << 20);
    const ssize_t n = ::pread(held, png.data(), png.size(), 0);
    ::close(held);
    std::filesystem::remove_all(dir);
    ASSERT_EQ(status, 0);
    ASSERT_GT(n, 0) << "nothing to read through the held handle";
    const QImage picture = QImage::fromData(png.data(), static_cast<int>(n), "PNG");
    EXPECT_EQ(picture.size(), QSize(128, 128));
}

}  // namespace
