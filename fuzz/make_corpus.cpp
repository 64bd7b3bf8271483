// Writes the seed corpus of the fuzz targets with the library's own encoders, so the seeds
// stay what the program really writes, plus the malformed files a reader must survive.
//
//   make_corpus FOLDER           writes FOLDER/bio/..., FOLDER/clipboard/... and the rest
//   make_corpus --check FOLDER   fails if a seed on disk differs from what would be written
//
// Inputs that once crashed a target live beside the seeds and are left alone by both.

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "document/BioFile.h"
#include "document/ClipboardRecord.h"
#include "document/PictureCode.h"
#include "model/Archive.h"
#include "model/BioMorph.h"
#include "model/CreatureCode.h"
#include "model/GeneTables.h"

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<uint8_t>;

constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
constexpr int kStoredGradients[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 14, 15, 16, 17, 18, 19};

struct SSeed {
    std::string strPath;  // relative to the corpus folder
    Bytes bytes;
};

Bytes RecordOf(CBioMorph& morph) {
    CArchive ar;
    morph.Serialize(ar);
    return ar.TakeBuffer();
}

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& part : parts) {
        out.insert(out.end(), part.begin(), part.end());
    }
    return out;
}

Bytes Int32Bytes(int32_t v) {
    CArchive ar;
    ar.WriteInt32(v);
    return ar.TakeBuffer();
}

Bytes Text(const char* s) {
    return Bytes(s, s + std::strlen(s));
}

// The bytes past the record that the fuzz targets read as their settings (orientation,
// switched-off special genes, centre); see MorphExercise.h.
Bytes Settings(uint8_t orientation, uint16_t absentMask, int32_t x, int32_t y) {
    CArchive ar;
    ar.WriteByte(orientation);
    ar.WriteUInt16(absentMask);
    ar.WriteInt32(x);
    ar.WriteInt32(y);
    return ar.TakeBuffer();
}

void MakeBasic(CBioMorph& morph) {
    morph.SetGenes(kBasicGenes);
    morph.ClearGradients();
}

// The most drawing a genome within the gene limits can ask for.
void MakeWorstCase(CBioMorph& morph) {
    MakeBasic(morph);
    morph.SetGene(kGeneDepth, 9);
    morph.SetGene(kGeneSegments, 9);
    morph.SetGene(kGeneRotation, 2);
    morph.SetGene(kGeneBranchStyle, 3);
}

// Every per-segment change at once: vectors, depth past gene 9 (with a one-sided fork),
// segment distance, scaling, style, colours, thickness and tapering.
void MakeGradients(CBioMorph& morph) {
    MakeBasic(morph);
    morph.SetGene(kGeneDepth, 6);
    morph.SetGene(kGeneSegments, 5);
    morph.SetGene(kGeneSegmentDistance, 15);
    morph.SetGene(kGeneMirror, 1);
    morph.SetGene(kGeneBranchStyle, 1);
    for (int g = 1; g <= 8; ++g) {
        morph.SetGradient(g, g % 2 ? 2 : -2);
    }
    morph.SetGradient(kGeneDepth, 1);
    morph.SetGradient(kGeneSegmentDistance, 2);
    morph.SetGradient(kGeneScaling, -10);
    morph.SetGradient(kGeneBranchStyle, 1);
    morph.SetGradient(kGeneOutlineColour, 5);
    morph.SetGradient(kGeneBodyColour, -3);
    morph.SetGradient(kGeneThickness, 1);
    morph.SetGradient(kGeneTapering, 1);
}

// Wild genomes as only a file or another program can bring.
void MakeAll(CBioMorph& morph, int32_t gene, int32_t gradient) {
    for (int g = 1; g <= kGeneCount; ++g) {
        morph.SetGene(g, gene);
    }
    morph.ClearGradients();
    for (int g : kStoredGradients) {
        morph.SetGradient(g, gradient);
    }
}

void MakeAlternating(CBioMorph& morph) {
    for (int g = 1; g <= kGeneCount; ++g) {
        morph.SetGene(g, g % 2 ? kMax : kMin);
    }
    // Enough segments and arms to grow, so the extremes reach development.
    morph.SetGene(kGeneSegments, 9);
    morph.SetGene(kGeneRotation, 2);
    morph.ClearGradients();
    for (int g : kStoredGradients) {
        morph.SetGradient(g, g % 2 ? kMin : kMax);
    }
}

template <typename Make>
Bytes RecordMadeBy(Make make) {
    CBioMorph morph;
    make(morph);
    return RecordOf(morph);
}

Bytes HeaderWith(const Bytes& signatureField, int32_t version) {
    return Concat({signatureField, Int32Bytes(version)});
}

Bytes ShortString(const char* s) {
    CArchive ar;
    ar.WriteString(s);
    return ar.TakeBuffer();
}

// The 16-bit character form: 0xFF, 0xFFFE, the length, then two bytes a character.
Bytes WideString(const std::u16string& s) {
    CArchive ar;
    ar.WriteByte(0xFF);
    ar.WriteUInt16(0xFFFE);
    ar.WriteByte(static_cast<uint8_t>(s.size()));
    for (char16_t c : s) {
        ar.WriteUInt16(static_cast<uint16_t>(c));
    }
    return ar.TakeBuffer();
}

// A whole 1x1 PNG: signature, IHDR, IDAT, IEND.
const Bytes kTinyPng = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x00, 0x00, 0x0D,
                        0x49, 0x48, 0x44, 0x52, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01,
                        0x08, 0x06, 0x00, 0x00, 0x00, 0x1F, 0x15, 0xC4, 0x89, 0x00, 0x00, 0x00,
                        0x0A, 0x49, 0x44, 0x41, 0x54, 0x78, 0x9C, 0x63, 0x00, 0x01, 0x00, 0x00,
                        0x05, 0x00, 0x01, 0x0D, 0x0A, 0x2D, 0xB4, 0x00, 0x00, 0x00, 0x00, 0x49,
                        0x45, 0x4E, 0x44, 0xAE, 0x42, 0x60, 0x82};
constexpr size_t kAfterPngHeader = 33;

uint32_t Crc32(const Bytes& bytes) {
    uint32_t crc = 0xFFFFFFFF;
    for (uint8_t b : bytes) {
        crc ^= b;
        for (int k = 0; k < 8; ++k) {
            crc = (crc & 1) ? 0xEDB88320 ^ (crc >> 1) : crc >> 1;
        }
    }
    return ~crc;
}

Bytes BigEndian(uint32_t v) {
    return {static_cast<uint8_t>(v >> 24), static_cast<uint8_t>(v >> 16),
            static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v)};
}

// The tiny PNG with a chunk of the given type and data after its header, the CRC made good.
Bytes PngWithChunk(const char* type, const Bytes& data) {
    const Bytes typed = Concat({Text(type), data});
    const Bytes chunk =
        Concat({BigEndian(static_cast<uint32_t>(data.size())), typed, BigEndian(Crc32(typed))});
    Bytes png = kTinyPng;
    png.insert(png.begin() + kAfterPngHeader, chunk.begin(), chunk.end());
    return png;
}

Bytes PngWithCode(const std::string& code) {
    Bytes png = kTinyPng;
    AddCodeToPng(png, code);
    return png;
}

std::string CodeOf(const Bytes& record) {
    CArchive ar(record.data(), record.size());
    CBioMorph morph;
    morph.Serialize(ar);
    return CCreatureCode::Encode(morph);
}

std::vector<SSeed> Seeds() {
    SetDefaultGeneTables();
    const Bytes basic = RecordMadeBy(MakeBasic);
    const Bytes worst = RecordMadeBy(MakeWorstCase);
    const Bytes gradients = RecordMadeBy(MakeGradients);
    const Bytes alternating = RecordMadeBy(MakeAlternating);
    const Bytes allMax = RecordMadeBy([](CBioMorph& m) { MakeAll(m, kMax, kMax); });
    const Bytes allMin = RecordMadeBy([](CBioMorph& m) { MakeAll(m, kMin, kMin); });

    const Bytes header = HeaderWith(ShortString(kBioSignature), kBioVersion);
    const Bytes basicFile = Concat({header, basic});
    const Bytes worstFile = Concat({header, worst});
    const Bytes gradientsFile = Concat({header, gradients});
    const Bytes alternatingFile = Concat({header, alternating});

    auto block = [](const Bytes& record, const Bytes& settings = {}) {
        Bytes b = Concat({record, settings});
        b.resize(kClipboardBlockSize, 0);
        return b;
    };

    std::vector<SSeed> seeds = {
        {"bio/basic.bio", basicFile},
        {"bio/worst_case.bio", worstFile},
        {"bio/gradients.bio", gradientsFile},
        {"bio/wild_alternating.bio", alternatingFile},
        {"bio/wild_max.bio", Concat({header, allMax})},
        {"bio/wild_min.bio", Concat({header, allMin})},
        {"bio/truncated.bio", Bytes(basicFile.begin(), basicFile.begin() + 100)},
        {"bio/header_only.bio", header},
        {"bio/empty.bio", {}},
        {"bio/wide_signature.bio",
         Concat({HeaderWith(WideString(u"Quorvale Keldor Ltd"), kBioVersion), basic})},
        {"bio/wide_signature_non_ascii.bio",
         Concat({HeaderWith(WideString(u"Quorvale Keld\u0151r Ltd"), kBioVersion), basic})},
        {"bio/wrong_version.bio", Concat({HeaderWith(ShortString(kBioSignature), 2), basic})},
        {"bio/wrong_case.bio",
         Concat({HeaderWith(ShortString("quorvale keldor ltd"), kBioVersion), basic})},
        // 0xFF, 0xFFFF, then a uint32 length of 4 GiB - 1 with a short file behind it.
        {"bio/length_4gib.bio", Concat({Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},
                                        Text(kBioSignature), Int32Bytes(kBioVersion), basic})},
        // The signature's length in the long form a writer uses from 255 characters on.
        {"bio/length_u16.bio",
         Concat({Bytes{0xFF, 19, 0}, Text(kBioSignature), Int32Bytes(kBioVersion), basic})},
        {"bio/settings_rotated.bio", Concat({worstFile, Settings(1, 0x0155, -300, 200)})},
        {"bio/settings_far.bio",
         Concat({gradientsFile, Settings(2, 0, (1 << 29) - 5, -(1 << 29))})},
        {"bio/settings_none_present.bio", Concat({alternatingFile, Settings(3, 0x03FF, 0, 0)})},

        {"clipboard/basic.clip", block(basic)},
        {"clipboard/worst_case.clip", block(worst)},
        {"clipboard/gradients.clip", block(gradients)},
        {"clipboard/wild_alternating.clip", block(alternating)},
        {"clipboard/wild_max.clip", block(allMax)},
        {"clipboard/record_only.clip", basic},
        {"clipboard/short.clip", Bytes(basic.begin(), basic.end() - 1)},
        {"clipboard/empty.clip", {}},
        {"clipboard/settings.clip", block(gradients, Settings(3, 0x02AA, 123, -456))},

        // A name's length, the name, then the file.
        {"files/longest_name", Concat({Bytes{255}, Bytes(251, 'y'), Text(".bio"), basicFile})},
        {"files/latin1_name", Concat({Bytes{8}, Text("caf\xe9.bio"), basicFile})},
        {"files/no_name", Concat({Bytes{0}, basicFile})},
        {"files/dot_dot", Concat({Bytes{2}, Text(".."), basicFile})},
        {"files/over_the_read_limit", Concat({Bytes{5}, Text("big.b"), Bytes(5000, 0xA5)})},
    };

    // Creature codes as typed, pasted and stored in an SVG picture, good and bad.
    const std::string basicCode = CodeOf(basic);
    const std::string wildCode = CodeOf(alternating);
    std::string lowerSpaced = basicCode;
    for (char& c : lowerSpaced) {
        c = c == '-' ? ' ' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    std::string swapped = basicCode;
    std::swap(swapped[7], swapped[8]);
    const std::string svg =
        "<?xml version=\"1.0\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\">\n" +
        SvgCodeMetadata(wildCode) + "</svg>\n";
    const Bytes international = Concat({Text(kPictureCodeKeyword), Bytes{0, 0, 0}, Text("en"),
                                        Bytes{0}, Text("Code"), Bytes{0}, Text(basicCode.c_str())});
    const Bytes coded = PngWithCode(basicCode);
    std::vector<SSeed> more = {
        {"code/basic.txt", Text(basicCode.c_str())},
        {"code/worst_case.txt", Text(CodeOf(worst).c_str())},
        {"code/wild_alternating.txt", Text(wildCode.c_str())},
        {"code/wild_max.txt", Text(CodeOf(allMax).c_str())},
        {"code/lower_spaced.txt", Text(lowerSpaced.c_str())},
        {"code/in_text.txt", Text(("look at this: " + wildCode + ". Nice!").c_str())},
        {"code/swapped.txt", Text(swapped.c_str())},
        {"code/trailing.txt", Text((basicCode + " thanks").c_str())},
        {"code/picture.svg", Text(svg.c_str())},

        {"png/tiny.png", kTinyPng},
        {"png/coded.png", coded},
        {"png/coded_wild.png", PngWithCode(wildCode)},
        {"png/international.png", PngWithChunk("iTXt", international)},
        {"png/cut_in_code.png", Bytes(coded.begin(), coded.begin() + 60)},
        {"png/huge_length.png", PngWithChunk("tEXt", Bytes{})},
    };
    // A chunk that claims 4 GiB - 1 bytes.
    for (int i = 0; i < 4; ++i) {
        more.back().bytes[kAfterPngHeader + i] = 0xFF;
    }
    seeds.insert(seeds.end(), more.begin(), more.end());
    return seeds;
}

bool ReadFile(const fs::path& path, Bytes& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

bool WriteFile(const fs::path& path, const Bytes& bytes) {
    std::error_code ec;
    fs::create_directories(path.parent_path(), ec);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    out.close();
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
    const bool bCheck = argc == 3 && std::strcmp(argv[1], "--check") == 0;
    if (!(argc == 2 || bCheck)) {
        std::fprintf(stderr, "usage: %s [--check] CORPUS-FOLDER\n", argv[0]);
        return 2;
    }
    const fs::path root(argv[argc - 1]);
    int failures = 0;
    for (const SSeed& seed : Seeds()) {
        const fs::path path = root / seed.strPath;
        if (bCheck) {
            Bytes onDisk;
            if (!ReadFile(path, onDisk) || onDisk != seed.bytes) {
                std::fprintf(stderr, "%s: missing or not what the encoders write now\n",
                             path.string().c_str());
                ++failures;
            }
        } else if (!WriteFile(path, seed.bytes)) {
            std::fprintf(stderr, "%s: cannot write\n", path.string().c_str());
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}
