// quorvale-tool save stopped at random moments, as a script's timeout or a user's Ctrl+C stops
// it: a signal it can catch leaves no temporary file behind, and what a kill it cannot catch
// leaves is cleared by a later save into the folder once it is old. The file saved is whole
// or not there at all.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "document/BioFile.h"
#include "model/BioMorph.h"

extern char** environ;

namespace {

// Enough stops that a save is caught with its temporary file in place many times over (one
// stopped save in some fifteen, here).
constexpr int kStops = 300;

pid_t StartSave(const std::string& path) {
    std::vector<std::string> args = {QUORVALE_TOOL, "save", path, "--basic"};
    std::vector<char*> argv;
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    pid_t child = -1;
    return ::posix_spawn(&child, argv[0], nullptr, nullptr, argv.data(), environ) == 0 ? child : -1;
}

int Wait(pid_t child) {
    int status = 0;
    ::waitpid(child, &status, 0);
    return status;
}

std::vector<std::filesystem::path> TemporaryFiles(const std::string& dir) {
    std::vector<std::filesystem::path> found;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        if (entry.path().filename().string().rfind(".quorvale-", 0) == 0) {
            found.push_back(entry.path());
        }
    }
    return found;
}

// The saved file, if there is one, is a whole morph file.
void ExpectWholeOrAbsent(const std::string& path) {
    if (!std::filesystem::exists(path)) {
        return;
    }
    std::ifstream in(path, std::ios::binary);
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                     std::istreambuf_iterator<char>()};
    CBioMorph morph;
    EXPECT_EQ(LoadMorphFromFile(bytes.data(), bytes.size(), morph), EBioLoad::Ok)
        << bytes.size() << " bytes";
}

class CStoppedSaveTest : public testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/quorvale-stopped-XXXXXX";
        ASSERT_NE(::mkdtemp(tmpl), nullptr);
        m_dir = tmpl;
        m_target = m_dir + "/insect.bio";
        // A save's length here, so that the stops fall anywhere in one.
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < 5; ++i) {
            ASSERT_EQ(Wait(StartSave(m_target)), 0);
        }
        m_nSaveMicros = std::chrono::duration_cast<std::chrono::microseconds>(
                            std::chrono::steady_clock::now() - start)
                            .count() /
                        5;
    }
    void TearDown() override {
        std::error_code ec;
        std::filesystem::remove_all(m_dir, ec);
    }

    // Starts saves and stops each at a random moment with the signals in turn; returns
    // how many the signal ended (the others finished first).
    int StopSaves(const std::vector<int>& signals, int count) {
        std::mt19937 random(20261211);
        std::uniform_int_distribution<int64_t> moment(0, m_nSaveMicros * 3 / 2);
        int stopped = 0;
        for (int i = 0; i < count; ++i) {
            const int sig = signals[static_cast<size_t>(i) % signals.size()];
            const pid_t child = StartSave(m_target);
            if (child < 0) {
                ADD_FAILURE() << "cannot start the tool";
                return stopped;
            }
            ::usleep(static_cast<useconds_t>(moment(random)));
            ::kill(child, sig);
            const int status = Wait(child);
            stopped += WIFSIGNALED(status) && WTERMSIG(status) == sig;
        }
        return stopped;
    }

    std::string m_dir;
    std::string m_target;
    int64_t m_nSaveMicros = 0;
};

TEST_F(CStoppedSaveTest, ASignalLeavesNoTemporaryFile) {
    const int stopped = StopSaves({SIGTERM, SIGINT, SIGHUP}, kStops);
    EXPECT_GT(stopped, 0) << "no save was stopped: the test shows nothing";
    EXPECT_TRUE(TemporaryFiles(m_dir).empty())
        << TemporaryFiles(m_dir).size() << " left by " << stopped << " stopped saves";
    ExpectWholeOrAbsent(m_target);
}

TEST_F(CStoppedSaveTest, WhatAKillLeavesIsClearedByALaterSaveOnceOld) {
    const int stopped = StopSaves({SIGKILL}, kStops / 3);
    EXPECT_GT(stopped, 0) << "no save was stopped: the test shows nothing";
    ExpectWholeOrAbsent(m_target);
    const std::vector<std::filesystem::path> left = TemporaryFiles(m_dir);
    std::cout << left.size() << " temporary files left by " << stopped << " killed saves\n";
    // A day and more later, the next save clears them.
    const time_t old = ::time(nullptr) - 2 * 24 * 60 * 60;
    for (const auto& path : left) {
        const timespec times[2] = {{old, 0}, {old, 0}};
        ::utimensat(AT_FDCWD, path.c_str(), times, 0);
    }
    EXPECT_EQ(Wait(StartSave(m_target)), 0);
    EXPECT_TRUE(TemporaryFiles(m_dir).empty());
    ExpectWholeOrAbsent(m_target);
}

}  // namespace
