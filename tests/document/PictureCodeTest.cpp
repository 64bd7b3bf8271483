#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "document/PictureCode.h"

namespace {

using Bytes = std::vector<uint8_t>;

const std::string kCode = "Q15X2-GE51B-WD418-B4EGE-MPX29-J7RDB-N2R0";

// A whole 1x1 PNG: signature, IHDR, IDAT, IEND.
const Bytes kTinyPng = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x00, 0x00, 0x0D,
                        0x49, 0x48, 0x44, 0x52, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01,
                        0x08, 0x06, 0x00, 0x00, 0x00, 0x1F, 0x15, 0xC4, 0x89, 0x00, 0x00, 0x00,
                        0x0A, 0x49, 0x44, 0x41, 0x54, 0x78, 0x9C, 0x63, 0x00, 0x01, 0x00, 0x00,
                        0x05, 0x00, 0x01, 0x0D, 0x0A, 0x2D, 0xB4, 0x00, 0x00, 0x00, 0x00, 0x49,
                        0x45, 0x4E, 0x44, 0xAE, 0x42, 0x60, 0x82};
constexpr size_t kAfterHeader = 33;  // signature and IHDR
constexpr size_t kEndChunk = 12;

uint32_t Crc(const Bytes& bytes) {
    uint32_t crc = 0xFFFFFFFF;
    for (uint8_t b : bytes) {
        crc ^= b;
        for (int k = 0; k < 8; ++k) {
            crc = (crc & 1) ? 0xEDB88320 ^ (crc >> 1) : crc >> 1;
        }
    }
    return ~crc;
}

void PutBigEndian(Bytes& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<uint8_t>(v >> shift));
    }
}

Bytes Text(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

Bytes Chunk(const std::string& type, const Bytes& data, bool bGoodCrc = true) {
    Bytes typed = Text(type);
    typed.insert(typed.end(), data.begin(), data.end());
    Bytes chunk;
    PutBigEndian(chunk, static_cast<uint32_t>(data.size()));
    chunk.insert(chunk.end(), typed.begin(), typed.end());
    PutBigEndian(chunk, Crc(typed) ^ (bGoodCrc ? 0 : 1));
    return chunk;
}

Bytes TextData(const std::string& keyword, const std::string& text) {
    Bytes data = Text(keyword);
    data.push_back(0);
    const Bytes t = Text(text);
    data.insert(data.end(), t.begin(), t.end());
    return data;
}

// iTXt: keyword, compression flag and method, language, translated keyword, text.
Bytes InternationalData(const std::string& text, uint8_t compressed) {
    Bytes data = Text(kPictureCodeKeyword);
    data.insert(data.end(), {0, compressed, 0});
    const Bytes rest = Text(std::string("en\0Code\0", 8) + text);
    data.insert(data.end(), rest.begin(), rest.end());
    return data;
}

// The tiny PNG with the chunks put in after its header (or before its end).
Bytes PngWith(const std::vector<Bytes>& chunks, bool bAtEnd = false) {
    Bytes png = kTinyPng;
    auto at = bAtEnd ? png.end() : png.begin() + kAfterHeader;
    for (auto it = chunks.rbegin(); it != chunks.rend(); ++it) {
        at = png.insert(at, it->begin(), it->end());
    }
    return png;
}

// The bytes on the heap with nothing after them, so the sanitizer sees any read past the end.
std::optional<std::string> FindInExactBuffer(const Bytes& bytes, size_t size) {
    std::unique_ptr<uint8_t[]> data(new uint8_t[size ? size : 1]);
    std::copy(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(size), data.get());
    return FindCodeInPng(data.get(), size);
}

// ---------------------------------------------------------------------------------------
// PNG

TEST(PictureCodeTest, PngGetsATextChunkAfterItsHeader) {
    Bytes png = kTinyPng;
    ASSERT_TRUE(AddCodeToPng(png, kCode));
    EXPECT_EQ(png, PngWith({Chunk("tEXt", TextData("Quorvale-Code", kCode))}));
    EXPECT_EQ(FindCodeInPng(png.data(), png.size()), kCode);
    EXPECT_EQ(FindCodeInPng(kTinyPng.data(), kTinyPng.size()), std::nullopt);
}

// Cut anywhere, the picture gives the code once the whole chunk is there, and nothing before.
TEST(PictureCodeTest, PngCutShortIsReadOnlyAsFarAsItGoes) {
    Bytes png = kTinyPng;
    ASSERT_TRUE(AddCodeToPng(png, kCode));
    const size_t chunkEnd = kAfterHeader + 12 + std::strlen(kPictureCodeKeyword) + 1 + kCode.size();
    for (size_t size = 0; size <= png.size(); ++size) {
        SCOPED_TRACE(size);
        const auto found = FindInExactBuffer(png, size);
        if (size >= chunkEnd) {
            EXPECT_EQ(found, kCode);
        } else {
            EXPECT_EQ(found, std::nullopt);
        }
    }
}

TEST(PictureCodeTest, PngChunksThatDoNotCarryTheCode) {
    const Bytes good = Chunk("tEXt", TextData(kPictureCodeKeyword, kCode));
    Bytes huge;
    PutBigEndian(huge, 0xFFFFFFFF);
    huge.insert(huge.end(), {'t', 'E', 'X', 't'});
    const struct {
        const char* what;
        Bytes png;
        std::optional<std::string> found;
    } kCases[] = {
        {"a wrong CRC", PngWith({Chunk("tEXt", TextData(kPictureCodeKeyword, kCode), false)}),
         std::nullopt},
        {"another keyword", PngWith({Chunk("tEXt", TextData("Comment", kCode))}), std::nullopt},
        {"a longer keyword", PngWith({Chunk("tEXt", TextData("Quorvale-Code2", kCode))}),
         std::nullopt},
        {"no keyword end", PngWith({Chunk("tEXt", Text(kPictureCodeKeyword))}), std::nullopt},
        {"too long a text",
         PngWith({Chunk("tEXt", TextData(kPictureCodeKeyword, std::string(1025, 'A')))}),
         std::nullopt},
        {"compressed iTXt", PngWith({Chunk("iTXt", InternationalData(kCode, 1))}), std::nullopt},
        {"plain iTXt", PngWith({Chunk("iTXt", InternationalData(kCode, 0))}), kCode},
        {"after the end chunk", PngWith({good}, true), std::nullopt},
        {"a length past the end", PngWith({huge, good}), std::nullopt},
        {"a bad one, then a good one",
         PngWith({Chunk("tEXt", TextData(kPictureCodeKeyword, "bad"), false), good}), kCode},
        {"no signature", Bytes(good.begin(), good.end()), std::nullopt},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(FindInExactBuffer(c.png, c.png.size()), c.found);
    }
    EXPECT_EQ(FindCodeInPng(nullptr, 0), std::nullopt);
}

TEST(PictureCodeTest, OnlyAPngWithItsHeaderTakesAPrintableCode) {
    const struct {
        const char* what;
        Bytes png;
        std::string code;
    } kCases[] = {
        {"not a PNG", Text("GIF89a, not a PNG at all, whatever it says"), kCode},
        {"cut in its header", Bytes(kTinyPng.begin(), kTinyPng.begin() + 30), kCode},
        {"no header first", Bytes(kTinyPng.begin(), kTinyPng.begin() + 8), kCode},
        {"an empty code", kTinyPng, ""},
        {"a line break", kTinyPng, "Q1\nA"},
        {"a zero byte", kTinyPng, std::string("Q1\0A", 4)},
        {"not ASCII", kTinyPng, "Q1\xc3\xa9"},
        {"too long", kTinyPng, std::string(1025, 'A')},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.what);
        Bytes png = c.png;
        EXPECT_FALSE(AddCodeToPng(png, c.code));
        EXPECT_EQ(png, c.png);
    }
}

// ---------------------------------------------------------------------------------------
// SVG

TEST(PictureCodeTest, SvgCarriesTheCodeInItsMetadata) {
    const std::string head =
        "<?xml version=\"1.0\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\">\n";
    const std::string tail = "<rect width=\"10\" height=\"10\"/>\n</svg>\n";
    const std::string ours = SvgCodeMetadata(kCode);
    EXPECT_EQ(ours,
              "<metadata><quorvale:creature-code xmlns:quorvale=\"urn:x-quorvale:creature\">" +
                  kCode + "</quorvale:creature-code></metadata>\n");
    const struct {
        const char* what;
        std::string svg;
        std::optional<std::string> found;
    } kCases[] = {
        {"as written", head + ours + tail, kCode},
        {"behind other metadata",
         head + "<metadata id=\"m1\"><rdf:RDF/></metadata>\n" + ours + tail, kCode},
        {"under another prefix, spread over lines",
         head + "<metadata>\n  <q:creature-code xmlns:q=\"urn:x-quorvale:creature\">\n    " +
             kCode + "\n  </q:creature-code>\n</metadata>" + tail,
         kCode},
        {"escaped", head + SvgCodeMetadata("A&B") + tail, "A&B"},
        {"no metadata", head + tail, std::nullopt},
        {"outside the metadata",
         head + "<quorvale:creature-code>" + kCode + "</quorvale:creature-code>" + tail,
         std::nullopt},
        {"an empty element",
         head + "<metadata><quorvale:creature-code/>" + kCode + "<br/></metadata>" + tail,
         std::nullopt},
        {"another element's name",
         head + "<metadata><x:creature-codes>" + kCode + "</x:creature-codes></metadata>" + tail,
         std::nullopt},
        {"cut in the metadata", head + ours.substr(0, 60), std::nullopt},
        {"cut in the code", head + ours.substr(0, 85), std::nullopt},
        {"metadata not ended", head + "<metadata><quorvale:creature-code>" + kCode, std::nullopt},
        {"a longer tag name", head + "<metadatas>" + ours.substr(10) + tail, std::nullopt},
        {"too long a text", head + SvgCodeMetadata(std::string(1025, 'A')) + tail, std::nullopt},
        {"empty", "", std::nullopt},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(FindCodeInSvg(c.svg), c.found);
    }
}

}  // namespace
