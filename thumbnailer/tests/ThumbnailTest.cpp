// Thumbnails drawn from file bytes: which bytes give a picture, its size and ground, how a
// morph larger than the picture is fitted, and that no input, however wild, stops it.
#include <gtest/gtest.h>

#include <QColor>
#include <climits>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "document/BioFile.h"
#include "model/BioMorph.h"
#include "thumbnailer/Thumbnail.h"

namespace {

std::vector<uint8_t> FileOf(const std::array<int32_t, kGeneCount>& genes) {
    CBioMorph morph;
    morph.SetGenes(genes);
    return EncodeBioFile(morph);
}

QImage Render(const std::vector<uint8_t>& bytes, int side) {
    return Thumbnail::Render(bytes.data(), bytes.size(), side);
}

bool IsWhite(const QImage& image, int x, int y) {
    return image.pixel(x, y) == qRgb(255, 255, 255);
}

// The smallest rectangle holding every pixel that is not white.
QRect Ink(const QImage& image) {
    QRect ink;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (!IsWhite(image, x, y)) {
                ink |= QRect(x, y, 1, 1);
            }
        }
    }
    return ink;
}

TEST(Thumbnail, ByteStringsThatAreNotAWholeMorphFileGiveNoPicture) {
    const std::vector<uint8_t> good = FileOf(kBasicGenes);
    std::vector<uint8_t> otherCase = good;
    otherCase[1] = 'q';
    std::vector<uint8_t> version2 = good;
    version2[20] = 2;
    const struct {
        const char* name;
        std::vector<uint8_t> bytes;
    } cases[] = {
        {"empty", {}},
        {"signature only", std::vector<uint8_t>(good.begin(), good.begin() + 20)},
        {"record cut short", std::vector<uint8_t>(good.begin(), good.end() - 1)},
        {"signature in other case", otherCase},
        {"version 2", version2},
        {"a PNG", {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n', 0, 0, 0, 13}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(Render(c.bytes, 128).isNull());
    }
    EXPECT_FALSE(Render(good, 128).isNull());
}

TEST(Thumbnail, SidesOutsideTheRangeGiveNoPicture) {
    const std::vector<uint8_t> good = FileOf(kBasicGenes);
    for (int side : {0, -1, Thumbnail::kMaxSide + 1}) {
        SCOPED_TRACE(side);
        EXPECT_TRUE(Render(good, side).isNull());
    }
    for (int side : {1, Thumbnail::kMaxSide}) {
        SCOPED_TRACE(side);
        EXPECT_EQ(Render(good, side).size(), QSize(side, side));
    }
}

TEST(Thumbnail, AMorphThatFitsIsDrawnAtItsOwnSizeCentredOnWhite) {
    const QImage picture = Render(FileOf(kBasicGenes), 256);
    ASSERT_EQ(picture.size(), QSize(256, 256));
    const QRect ink = Ink(picture);
    ASSERT_FALSE(ink.isEmpty());
    // Drawn at the program's scale, the basic morph is far smaller than the picture: it is
    // not blown up to fill it.
    EXPECT_LT(ink.width(), 128);
    EXPECT_LT(ink.height(), 128);
    EXPECT_NEAR(ink.center().x(), 128, 2);
    EXPECT_NEAR(ink.center().y(), 128, 2);
    EXPECT_TRUE(IsWhite(picture, 0, 0));
    EXPECT_TRUE(IsWhite(picture, 255, 255));
}

TEST(Thumbnail, AMorphLargerThanThePictureIsScaledDownWhole) {
    // Deep, widely spread branches: nearly 200 pixels across at the program's scale.
    std::array<int32_t, kGeneCount> wide = kBasicGenes;
    for (int g = 0; g < 8; ++g) {
        wide[g] = (g % 2 == 0) ? 60 : -60;
    }
    wide[kGeneDepth - 1] = 8;
    const std::vector<uint8_t> file = FileOf(wide);
    const QRect natural = Ink(Render(file, Thumbnail::kMaxSide));
    ASSERT_GT(natural.width(), 150);

    const QImage small = Render(file, 64);
    ASSERT_EQ(small.size(), QSize(64, 64));
    const QRect ink = Ink(small);
    // Cutting the middle out would leave ink on every edge; the whole morph scaled down
    // keeps to the picture with the same proportions.
    EXPECT_FALSE(ink.left() == 0 && ink.right() == 63 && ink.top() == 0 && ink.bottom() == 63);
    EXPECT_GE(std::max(ink.width(), ink.height()), 48);
    const double naturalRatio = double(natural.width()) / natural.height();
    EXPECT_NEAR(double(ink.width()) / ink.height(), naturalRatio, 0.15 * naturalRatio);
    EXPECT_NEAR(ink.center().x(), 32, 3);
    EXPECT_NEAR(ink.center().y(), 32, 3);
}

TEST(Thumbnail, OnlyTheHeadOfAnEndlessFileIsRead) {
    std::vector<uint8_t> file = FileOf(kBasicGenes);
    const QImage plain = Render(file, 96);
    file.resize(8 * 1024 * 1024, 0xAB);
    EXPECT_EQ(Render(file, 96), plain);
}

TEST(Thumbnail, WildGenomesAndTheFuzzCorpusAlwaysFinish) {
    std::vector<std::vector<uint8_t>> files;
    // Every gene at an extreme; the corpus adds the worst cases the fuzzer keeps.
    for (int32_t extreme : {INT32_MAX, INT32_MIN, 1000000, -1000000}) {
        std::array<int32_t, kGeneCount> genes{};
        genes.fill(extreme);
        files.push_back(FileOf(genes));
    }
    for (const auto& entry : std::filesystem::directory_iterator(QUORVALE_BIO_CORPUS)) {
        std::ifstream in(entry.path(), std::ios::binary);
        files.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    ASSERT_GT(files.size(), 10u);
    for (size_t i = 0; i < files.size(); ++i) {
        SCOPED_TRACE(i);
        CBioMorph morph;
        const bool bMorph =
            LoadMorphFromFile(files[i].data(), files[i].size(), morph) == EBioLoad::Ok;
        const QImage picture = Render(files[i], 128);
        EXPECT_EQ(picture.isNull(), !bMorph);
        if (bMorph) {
            EXPECT_EQ(picture.size(), QSize(128, 128));
        }
    }
}

}  // namespace
