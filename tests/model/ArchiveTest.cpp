#include <climits>
#include <memory>

#include "TestSupport.h"
#include "model/Archive.h"
#include "model/FamilyMorph.h"

namespace {

using CArchiveTest = CModelTest;

std::vector<uint8_t> Store(CBioMorph& m) {
    CArchive ar;
    m.Serialize(ar);
    return ar.TakeBuffer();
}

int32_t Int32At(const std::vector<uint8_t>& bytes, size_t offset) {
    return static_cast<int32_t>(uint32_t{bytes[offset]} | uint32_t{bytes[offset + 1]} << 8 |
                                uint32_t{bytes[offset + 2]} << 16 |
                                uint32_t{bytes[offset + 3]} << 24);
}

// The bytes on the heap with nothing after them, so the sanitizer sees any read past the end.
struct SExactBuffer {
    explicit SExactBuffer(const std::vector<uint8_t>& bytes)
        : pData(new uint8_t[bytes.size() ? bytes.size() : 1]), nSize(bytes.size()) {
        std::copy(bytes.begin(), bytes.end(), pData.get());
    }
    std::unique_ptr<uint8_t[]> pData;
    size_t nSize;
};

// ---------------------------------------------------------------------------------------
// The morph record

TEST_F(CArchiveTest, DefaultMorphStoresThirtyFiveLittleEndianIntegers) {
    CBioMorph m;
    const auto bytes = Store(m);
    ASSERT_EQ(bytes.size(), 140u);
    const int32_t expected[35] = {-10, -10, -10, -10, -10, 0, 10, 10, 7, 1,
                                  10,  0,   0,   100, 0,   0, 0,  1,  0};
    for (size_t i = 0; i < 35; ++i) {
        EXPECT_EQ(Int32At(bytes, 4 * i), expected[i]) << "field " << i + 1;
    }
    EXPECT_EQ(bytes[0], 0xF6);  // -10, low byte first
    EXPECT_EQ(bytes[3], 0xFF);
}

TEST_F(CArchiveTest, FieldsLieAtTheirOffsets) {
    CBioMorph m;
    for (int g = 1; g <= kGeneCount; ++g) {
        m.SetGene(g, 1000 + g);
        m.SetGradient(g, 2000 + g);
    }
    m.SetGene(19, INT_MIN);
    m.SetGradient(19, INT_MAX);
    const auto bytes = Store(m);
    ASSERT_EQ(bytes.size(), 140u);
    const struct {
        size_t nOffset;
        int32_t nValue;
    } fields[] = {{0, 1001},   {36, 1010},  {72, INT_MIN}, {76, 2001},    {108, 2009},
                  {112, 2011}, {116, 2014}, {132, 2018},   {136, INT_MAX}};
    for (const auto& f : fields) {
        EXPECT_EQ(Int32At(bytes, f.nOffset), f.nValue) << "offset " << f.nOffset;
    }
}

TEST_F(CArchiveTest, RoundTripKeepsTheUnstoredGradientsOfTheReader) {
    CBioMorph source;
    for (int g = 1; g <= kGeneCount; ++g) {
        source.SetGene(g, g % 2 ? INT_MIN + g : INT_MAX - g);
        source.SetGradient(g, 10 * g);
    }
    const auto bytes = Store(source);

    CBioMorph target;
    for (int g = 1; g <= kGeneCount; ++g) {
        target.SetGradient(g, -g);
    }
    target.Measure(0, 0, 0);
    CArchive in(bytes.data(), bytes.size());
    target.Serialize(in);

    EXPECT_EQ(in.Remaining(), 0u);
    EXPECT_EQ(target.m_bLaidOut, 0);
    for (int g = 1; g <= kGeneCount; ++g) {
        SCOPED_TRACE(g);
        EXPECT_EQ(target.Gene(g), source.Gene(g));
        const bool bStored = g != 10 && g != 12 && g != 13;
        EXPECT_EQ(target.Gradient(g), bStored ? source.Gradient(g) : -g);
    }
}

TEST_F(CArchiveTest, ShortRecordThrowsAndKeepsWhatWasRead) {
    CBioMorph source;
    for (int g = 1; g <= kGeneCount; ++g) {
        source.SetGene(g, 500 + g);
        source.SetGradient(g, 2);
    }
    const auto full = Store(source);
    for (const size_t length : {0u, 1u, 3u, 4u, 75u, 76u, 139u}) {
        SCOPED_TRACE(length);
        const SExactBuffer buffer({full.begin(), full.begin() + static_cast<long>(length)});
        CBioMorph m;
        m.Measure(0, 0, 0);
        CArchive in(buffer.pData.get(), buffer.nSize);
        EXPECT_THROW(m.Serialize(in), CArchiveException);
        EXPECT_EQ(m.m_bLaidOut, 0);
        const size_t read = length / 4;
        for (int g = 1; g <= kGeneCount; ++g) {
            EXPECT_EQ(m.Gene(g), static_cast<size_t>(g) <= read ? 500 + g : kDefaultGenes[g - 1])
                << g;
        }
        EXPECT_EQ(m.Gradient(1), read > 19 ? 2 : 0);
    }
}

TEST_F(CArchiveTest, FamilyNodeStoresTheSameRecord) {
    CBioMorph morph;
    morph.SetGenes(GenesWith(kBasicGenes, {{10, 4}, {13, 2}}));
    morph.SetGradient(11, -2);
    morph.SetGradient(17, 2);
    CFamilyMorph node(morph, 300, 200);
    CFamilyMorph child(morph, 10, 10);
    node.AddChild(&child);
    EXPECT_EQ(Store(node), Store(morph));
}

// ---------------------------------------------------------------------------------------
// Strings

struct SStringCase {
    size_t nLength;
    std::vector<uint8_t> prefix;
};

const SStringCase kStringCases[] = {
    {0, {0x00}},
    {19, {0x13}},
    {254, {0xFE}},
    {255, {0xFF, 0xFF, 0x00}},
    {65533, {0xFF, 0xFD, 0xFF}},
    {65534, {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}},
    {70000, {0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00}},
};

TEST_F(CArchiveTest, StringLengthTakesOneThreeOrSevenBytes) {
    for (const auto& c : kStringCases) {
        SCOPED_TRACE(c.nLength);
        std::string s(c.nLength, 'q');
        if (c.nLength) {
            s.front() = 'A';
            s.back() = 'Z';
        }
        CArchive out;
        out.WriteString(s);
        const auto bytes = out.TakeBuffer();
        ASSERT_EQ(bytes.size(), c.prefix.size() + c.nLength);
        EXPECT_TRUE(std::equal(c.prefix.begin(), c.prefix.end(), bytes.begin()));

        const SExactBuffer buffer(bytes);
        CArchive in(buffer.pData.get(), buffer.nSize);
        EXPECT_EQ(in.ReadString(), s);
        EXPECT_EQ(in.Remaining(), 0u);
    }
}

TEST_F(CArchiveTest, SixteenBitStringsAreNarrowed) {
    const struct {
        const char* szName;
        std::vector<uint8_t> bytes;
        std::string expected;
    } cases[] = {
        {"short length", {0xFF, 0xFE, 0xFF, 0x03, 'Q', 0, 'u', 0, 'o', 0}, "Quo"},
        {"empty", {0xFF, 0xFE, 0xFF, 0x00}, ""},
        {"non-ASCII becomes ?", {0xFF, 0xFE, 0xFF, 0x02, 0xE9, 0x00, 'Q', 0x01}, "??"},
        {"uint16 length", {0xFF, 0xFE, 0xFF, 0xFF, 0x02, 0x00, 'a', 0, 'b', 0}, "ab"},
        {"uint32 length", {0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0x01, 0, 0, 0, 'x', 0}, "x"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.szName);
        const SExactBuffer buffer(c.bytes);
        CArchive in(buffer.pData.get(), buffer.nSize);
        EXPECT_EQ(in.ReadString(), c.expected);
        EXPECT_EQ(in.Remaining(), 0u);
    }
}

// A string whose length runs past the data is refused before anything is read or allocated,
// and the archive is left where the string began.
TEST_F(CArchiveTest, ImpossibleStringsThrowAndLeaveThePosition) {
    const struct {
        const char* szName;
        std::vector<uint8_t> bytes;
    } cases[] = {
        {"1 GiB claimed in 10 bytes", {0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x40, 'a', 'b', 'c'}},
        {"4 GiB claimed", {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 'a', 'b', 'c'}},
        {"wide, 2^31 characters", {0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x80}},
        {"wide, odd bytes left", {0xFF, 0xFE, 0xFF, 0x02, 'a', 0, 'b'}},
        {"five bytes claimed, two there", {0x05, 'a', 'b'}},
        {"length cut short", {0xFF, 0x01}},
        {"uint32 length cut short", {0xFF, 0xFF, 0xFF, 0x01, 0x00}},
        {"marker and nothing else", {0xFF, 0xFE, 0xFF}},
        {"marker twice", {0xFF, 0xFE, 0xFF, 0xFF, 0xFE, 0xFF, 0x00}},
        {"empty", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.szName);
        std::vector<uint8_t> bytes = {0x01, 0x02};  // something read before the string
        bytes.insert(bytes.end(), c.bytes.begin(), c.bytes.end());
        const SExactBuffer buffer(bytes);
        CArchive in(buffer.pData.get(), buffer.nSize);
        ASSERT_EQ(in.ReadUInt16(), 0x0201);
        EXPECT_THROW(in.ReadString(), CArchiveException);
        EXPECT_EQ(in.Position(), 2u);
    }
}

TEST_F(CArchiveTest, IntegersAreLittleEndianAndShortReadsThrow) {
    CArchive out;
    out.WriteByte(0xAB);
    out.WriteUInt16(0x1234);
    out.WriteUInt32(0xDEADBEEF);
    out.WriteInt32(-2);
    const std::vector<uint8_t> expected = {0xAB, 0x34, 0x12, 0xEF, 0xBE, 0xAD,
                                           0xDE, 0xFE, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(out.Buffer(), expected);

    const SExactBuffer buffer(expected);
    CArchive in(buffer.pData.get(), buffer.nSize);
    EXPECT_EQ(in.ReadByte(), 0xAB);
    EXPECT_EQ(in.ReadUInt16(), 0x1234);
    EXPECT_EQ(in.ReadUInt32(), 0xDEADBEEFu);
    EXPECT_EQ(in.ReadInt32(), -2);
    EXPECT_THROW(in.ReadByte(), CArchiveException);

    const SExactBuffer three({1, 2, 3});
    CArchive cut(three.pData.get(), three.nSize);
    EXPECT_THROW(cut.ReadUInt32(), CArchiveException);
    EXPECT_EQ(cut.Position(), 0u);
    EXPECT_EQ(cut.ReadUInt16(), 0x0201);
}

}  // namespace
