// Pictures written by quorvale-tool give their creature back: the tool is run as a user
// would run it, and the picture's bytes go through the same readers File > Open uses.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "document/PictureCode.h"
#include "model/BioMorph.h"
#include "model/CreatureCode.h"

namespace fs = std::filesystem;

namespace {

std::vector<uint8_t> ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in),
                                std::istreambuf_iterator<char>());
}

class CPictureCodeToolTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = fs::temp_directory_path() / ("quorvale-picture-code-" + std::to_string(getpid()));
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    // Runs the tool through the shell, so "-o -" can be sent to a file.
    int Run(const std::string& args) {
        const std::string command = std::string("'") + QUORVALE_TOOL + "' " + args;
        return std::system(command.c_str());
    }

    fs::path m_dir;
};

struct SGenomeCase {
    const char* pszWhat;
    std::string options;
    std::array<int32_t, kGeneCount> genes;
    std::array<int32_t, kGeneCount> gradients;
};

const SGenomeCase kGenomes[] = {
    {"basic", "--basic", kBasicGenes, {}},
    {"wild",
     "--genes -2147483648,2147483647,0,-1,1000000,-401,401,0,10,100,20,1,2,-5,3,16,15,-8,999 "
     "--gradients 1,0,-2,2,0,-2,2,0,-2,2,0,-2,2,0,-2,2,0,-2,2147483647",
     {INT32_MIN, INT32_MAX, 0, -1, 1000000, -401, 401, 0, 10, 100, 20, 1, 2, -5, 3, 16, 15, -8,
      999},
     {1, 0, -2, 2, 0, -2, 2, 0, -2, 2, 0, -2, 2, 0, -2, 2, 0, -2, INT32_MAX}},
};

std::string ExpectedCode(const SGenomeCase& c) {
    CBioMorph morph;
    morph.SetGenes(c.genes);
    GeneArray gradients{};
    std::copy(c.gradients.begin(), c.gradients.end(), gradients.begin() + 1);
    morph.SetGradients(gradients);
    return CCreatureCode::Encode(morph);
}

TEST_F(CPictureCodeToolTest, RenderedPicturesCarryTheCreaturesCode) {
    struct SWay {
        const char* pszWhat;
        std::string format;  // svg or png
        bool bStdout;
    };
    std::vector<SWay> ways = {{"svg file", "svg", false}, {"svg on stdout", "svg", true}};
    if (QUORVALE_TOOL_PNG) {
        ways.push_back({"png file", "png", false});
        ways.push_back({"png on stdout", "png", true});
    }
    for (const SGenomeCase& genome : kGenomes) {
        const std::string expected = ExpectedCode(genome);
        for (const SWay& way : ways) {
            SCOPED_TRACE(std::string(genome.pszWhat) + ", " + way.pszWhat);
            const fs::path path = m_dir / ("picture." + way.format);
            fs::remove(path);
            const std::string output =
                way.bStdout ? "-o - --format " + way.format + " > '" + path.string() + "'"
                            : "-o '" + path.string() + "'";
            ASSERT_EQ(Run("render --size 60x40 " + genome.options + " " + output), 0);
            const std::vector<uint8_t> bytes = ReadAll(path);
            const std::optional<std::string> code =
                way.format == "png"
                    ? FindCodeInPng(bytes.data(), bytes.size())
                    : FindCodeInSvg(std::string_view(reinterpret_cast<const char*>(bytes.data()),
                                                     bytes.size()));
            ASSERT_TRUE(code.has_value());
            EXPECT_EQ(*code, expected);
            const SCodeReading reading = CCreatureCode::Decode(*code);
            ASSERT_TRUE(reading) << reading.Message();
            EXPECT_EQ(CCreatureCode::Encode(*reading.genome), expected);
        }
    }
}

}  // namespace
