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

std::array<int32_t, kGeneCount> GenesOf(std::initializer_list<int32_t> values) {
    std::array<int32_t, kGeneCount> genes{};
    std::copy(values.begin(), values.end(), genes.begin());
    return genes;
}

// Creatures from far smaller to far larger than the pictures asked for, each with the width and
// height it has at its own size.
struct SCreature {
    const char* name;
    std::array<int32_t, kGeneCount> genes;
};
const SCreature kCreatures[] = {
    {"basic, 43 x 29", kBasicGenes},
    {"tall, 121 x 208",
     GenesOf({-30, 30, -30, 30, -30, 30, -30, 30, 9, 4, 60, 0, 0, 100, 0, 1, 2, 1, 0})},
    {"large, 929 x 469",
     GenesOf({-20, -40, -60, -40, -20, 0, 30, 40, 8, 1, 20, 0, 0, 400, 0, 1, 2, 1, 0})},
    {"huge, 6401 x 4761",
     GenesOf({-400, 400, -200, 300, -100, 200, 400, -300, 9, 9, 100, 0, 0, 400, 0, 1, 2, 1, 0})},
};

TEST(Thumbnail, EveryCreatureIsShownWholeCentredAndFillingThePicture) {
    for (const SCreature& creature : kCreatures) {
        const std::vector<uint8_t> file = FileOf(creature.genes);
        CBioMorph morph;
        morph.SetGenes(creature.genes);
        morph.Measure(0, 0, 0);
        const double ownRatio =
            double(morph.m_rcBounds.Width()) / std::max(1, morph.m_rcBounds.Height());
        for (int side : {16, 64, 128, 256, 512, 1024}) {
            SCOPED_TRACE(testing::Message() << creature.name << " at " << side);
            const QImage picture = Render(file, side);
            ASSERT_EQ(picture.size(), QSize(side, side));
            const QRect ink = Ink(picture);
            ASSERT_FALSE(ink.isEmpty());
            // Whole: a margin of white all round, so nothing is cut off at an edge.
            EXPECT_GT(ink.left(), 0);
            EXPECT_GT(ink.top(), 0);
            EXPECT_LT(ink.right(), side - 1);
            EXPECT_LT(ink.bottom(), side - 1);
            // Filling most of the picture, however small or large the creature is itself.
            EXPECT_GE(std::max(ink.width(), ink.height()), 0.8 * side);
            EXPECT_NEAR(ink.center().x(), side / 2.0, 1 + side * 0.02);
            EXPECT_NEAR(ink.center().y(), side / 2.0, 1 + side * 0.02);
            // Its own proportions: not stretched to fill the square.
            if (side >= 128) {
                EXPECT_NEAR(double(ink.width()) / ink.height(), ownRatio, 0.1 * ownRatio);
            }
        }
    }
}

// The share of a picture's ink that is a shade of grey rather than black: a creature drawn
// at a zoom has solid lines with soft edges, a small picture blown up smoothly is grey all
// through (some 95% of it).
double GreyShare(const QImage& picture) {
    int ink = 0;
    int grey = 0;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const int level = qGray(picture.pixel(x, y));
            ink += level < 250;
            grey += level >= 40 && level < 250;
        }
    }
    return ink == 0 ? 1.0 : double(grey) / ink;
}

TEST(Thumbnail, ASmallCreatureIsDrawnLargeNotEnlargedAfterwards) {
    const std::vector<uint8_t> file = FileOf(kBasicGenes);
    for (int side : {128, 256, 1024}) {
        SCOPED_TRACE(side);
        const QImage picture = Render(file, side);
        EXPECT_LT(GreyShare(picture), 0.75);
    }
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
