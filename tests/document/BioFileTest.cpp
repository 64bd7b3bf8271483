#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <filesystem>
#include <fstream>

#include "DocTestSupport.h"
#include "document/BioFile.h"
#include "document/ClipboardRecord.h"
#include "document/FileIo.h"
#include "model/Archive.h"

namespace {

using Bytes = std::vector<uint8_t>;
const std::string kSig = "Quorvale Keldor Ltd";
const std::vector<int32_t> kBasic(kBasicGenes.begin(), kBasicGenes.end());

void PutInt32(Bytes& b, uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        b.push_back(static_cast<uint8_t>(v >> (8 * i)));
    }
}

// A morph record whose genes are 1..19 and stored gradients 2, -2, 2, ...
Bytes Record() {
    Bytes b;
    for (int g = 1; g <= 19; ++g) {
        PutInt32(b, static_cast<uint32_t>(g * 3));
    }
    for (int i = 0; i < 16; ++i) {
        PutInt32(b, static_cast<uint32_t>(i % 2 ? -2 : 2));
    }
    return b;
}

Bytes File(const Bytes& signaturePart, uint32_t version = 1, const Bytes& tail = {}) {
    Bytes b = signaturePart;
    PutInt32(b, version);
    Bytes rec = Record();
    b.insert(b.end(), rec.begin(), rec.end());
    b.insert(b.end(), tail.begin(), tail.end());
    return b;
}

Bytes Narrow(const std::string& s) {
    Bytes b{static_cast<uint8_t>(s.size())};
    b.insert(b.end(), s.begin(), s.end());
    return b;
}

Bytes Word(const std::string& s) {
    Bytes b{0xFF, static_cast<uint8_t>(s.size()), 0};
    b.insert(b.end(), s.begin(), s.end());
    return b;
}

Bytes Long(const std::string& s) {
    Bytes b{0xFF, 0xFF, 0xFF};
    PutInt32(b, static_cast<uint32_t>(s.size()));
    b.insert(b.end(), s.begin(), s.end());
    return b;
}

Bytes Wide(const std::string& s) {
    Bytes b{0xFF, 0xFE, 0xFF, static_cast<uint8_t>(s.size())};
    for (char c : s) {
        b.push_back(static_cast<uint8_t>(c));
        b.push_back(0);
    }
    return b;
}

Bytes Cut(Bytes b, size_t n) {
    b.resize(n);
    return b;
}

enum class EExpect { Loaded, Rejected, Truncated, Unchanged };

struct SReadCase {
    const char* name;
    Bytes bytes;
    EExpect expect;
    const char* message;
};

std::vector<SReadCase> ReadCases() {
    const Bytes good = File(Narrow(kSig));
    std::vector<SReadCase> cases = {
        {"good file", good, EExpect::Loaded, ""},
        {"16-bit length", File(Word(kSig)), EExpect::Loaded, ""},
        {"32-bit length", File(Long(kSig)), EExpect::Loaded, ""},
        {"16-bit characters", File(Wide(kSig)), EExpect::Loaded, ""},
        {"trailing bytes", File(Narrow(kSig), 1, Bytes(50, 0xAB)), EExpect::Loaded, ""},
        {"other letter case", File(Narrow("quorvale keldor ltd")), EExpect::Rejected,
         "Incorrect file type!"},
        {"other signature", File(Narrow("Quorvale Keldor Lt")), EExpect::Rejected,
         "Incorrect file type!"},
        {"wide non-ASCII does not pass for a letter",
         [] {
             Bytes w = Wide(kSig);
             w[4 + 2 * 0 + 1] = 0x01;  // U+0151 instead of 'Q'
             return File(w);
         }(),
         EExpect::Rejected, "Incorrect file type!"},
        {"version 2", File(Narrow(kSig), 2), EExpect::Rejected, nullptr},
        {"empty", {}, EExpect::Unchanged, ""},
        {"claims 4 GiB", Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0},
         EExpect::Truncated, "The file is cut short: it ends before the whole creature is read."},
        {"claims 8 GiB of 16-bit characters",
         Bytes{0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, EExpect::Truncated,
         "The file is cut short: it ends before the whole creature is read."},
    };
    // Cut at every field boundary and inside the record.
    for (size_t n : {size_t{1}, size_t{10}, size_t{20}, size_t{22}, size_t{24}, size_t{28},
                     size_t{100}, size_t{163}}) {
        cases.push_back({"cut", Cut(good, n), EExpect::Truncated,
                         "The file is cut short: it ends before the whole creature is read."});
    }
    return cases;
}

TEST_F(CDocTest, ReadingEveryKindOfFile) {
    // The version the About box shows, and the file version it reads.
    const std::string versionMessage =
        "This file is not compatible with\nQuorvale version 2.0b\n(it reads files of version 1)";
    for (const SReadCase& c : ReadCases()) {
        SCOPED_TRACE(std::string(c.name) + " (" + std::to_string(c.bytes.size()) + " bytes)");
        SetUp();
        m_doc->m_pCurrent->SetGene(1, 123);
        m_doc->m_listTrianglePoints.push_back({1, 2});
        const bool bOpened = m_doc->OpenFromBytes(c.bytes, "/some/where/creature.bio");
        const std::vector<std::string> messages = Messages();
        switch (c.expect) {
            case EExpect::Loaded:
                EXPECT_TRUE(bOpened);
                EXPECT_TRUE(messages.empty());
                EXPECT_EQ(m_doc->m_pCurrent->Gene(1), 3);
                EXPECT_EQ(m_doc->m_pCurrent->Gene(19), 57);
                EXPECT_EQ(m_doc->m_pCurrent->Gradient(19), -2);
                EXPECT_EQ(m_doc->m_bLoadRejected, 0);
                EXPECT_EQ(m_doc->Title(), "creature.bio");
                ASSERT_EQ(m_doc->m_listFossils.size(), 1u);
                EXPECT_EQ(GenesOf(*m_doc->m_listFossils[0]), GenesOf(*m_doc->m_pCurrent));
                EXPECT_EQ(m_doc->m_listOffspring.size(), 14u);
                // Opening through the recent list keeps the triangle points.
                EXPECT_EQ(m_doc->m_listTrianglePoints.size(), 1u);
                break;
            case EExpect::Rejected:
            case EExpect::Truncated:
                // Refused, named and explained, and the creature being bred is kept.
                EXPECT_FALSE(bOpened);
                ASSERT_EQ(messages.size(), 1u);
                EXPECT_EQ(messages[0], "Could not open /some/where/creature.bio.\n\n" +
                                           std::string(c.message ? c.message : versionMessage));
                EXPECT_EQ(m_doc->m_pCurrent->Gene(1), 123);
                EXPECT_EQ(m_doc->m_strSignature, kSig);
                EXPECT_EQ(m_doc->m_nVersion, 1);
                EXPECT_EQ(m_doc->Title(), "Untitled");
                EXPECT_EQ(m_doc->PathName(), "");
                EXPECT_EQ(m_doc->m_listOffspring.size(), 14u);
                EXPECT_EQ(m_doc->m_listTrianglePoints.size(), 1u);
                break;
            case EExpect::Unchanged:
                // An empty file is refused like any other bad file: nothing changes.
                EXPECT_FALSE(bOpened);
                EXPECT_EQ(messages,
                          std::vector<std::string>{
                              "Could not open /some/where/creature.bio: the file is empty."});
                EXPECT_EQ(m_doc->m_pCurrent->Gene(1), 123);
                EXPECT_EQ(m_doc->Title(), "Untitled");
                EXPECT_EQ(m_doc->m_listTrianglePoints.size(), 1u);
                break;
        }
        TearDown();
    }
    SetUp();
}

TEST_F(CDocTest, OpenCommandFinishesDifferentlyForGoodAndRejectedFiles) {
    const auto dir =
        std::filesystem::temp_directory_path() / ("quorvale-open-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    auto write = [&](const char* name, const Bytes& b) {
        std::ofstream(dir / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
        return (dir / name).string();
    };
    const std::string good = write("good.bio", File(Narrow(kSig)));
    const std::string bad = write("bad.bio", File(Narrow("Other")));
    const std::string empty = write("empty.bio", {});

    m_doc->m_listTrianglePoints.push_back({1, 2});
    ASSERT_TRUE(m_doc->OpenAndFinish(good));
    EXPECT_TRUE(m_doc->m_listFossils.empty());
    EXPECT_TRUE(m_doc->m_listTrianglePoints.empty());
    EXPECT_EQ(m_doc->Title(), "good.bio");

    // A rejected file leaves the document as it was, its history and title included.
    m_doc->m_pCurrent->SetGene(3, 44);
    m_doc->RecordFossil(*m_doc->m_pCurrent);
    EXPECT_FALSE(m_doc->OpenAndFinish(bad));
    EXPECT_EQ(m_doc->Title(), "good.bio");
    EXPECT_EQ(m_doc->m_pCurrent->Gene(3), 44);
    EXPECT_EQ(m_doc->m_listFossils.size(), 1u);

    // An empty file after a good one is refused: the morph, its history and the title stay.
    ASSERT_TRUE(m_doc->OpenAndFinish(good));
    m_doc->RecordFossil(*m_doc->m_pCurrent);
    m_doc->m_pCurrent->SetGene(2, 45);
    EXPECT_FALSE(m_doc->OpenAndFinish(empty));
    EXPECT_EQ(m_doc->m_pCurrent->Gene(2), 45);
    EXPECT_EQ(m_doc->m_listFossils.size(), 1u);
    EXPECT_EQ(m_doc->Title(), "good.bio");

    const size_t before = Messages().size();
    EXPECT_FALSE(m_doc->OpenAndFinish((dir / "missing.bio").string()));
    ASSERT_EQ(Messages().size(), before + 1);
    EXPECT_NE(Messages().back().find("was not found"), std::string::npos);
    EXPECT_EQ(m_doc->m_pCurrent->Gene(2), 45);
    std::filesystem::remove_all(dir);
}

TEST_F(CDocTest, SavedFileIsTheExact164ByteLayoutAndReloads) {
    m_doc->m_pCurrent->SetGene(5, -400);
    m_doc->m_pCurrent->SetGradient(11, 2);
    m_doc->m_pCurrent->SetGradient(12, 2);  // not stored
    m_doc->m_nOrientation = 3;
    const std::vector<int32_t> before = GenesOf(*m_doc->m_listOffspring[0]);
    const Bytes bytes = m_doc->SaveToBytes();
    ASSERT_EQ(bytes.size(), kBioFileSize);
    EXPECT_EQ(bytes[0], 0x13);
    EXPECT_EQ(std::string(bytes.begin() + 1, bytes.begin() + 20), kSig);
    EXPECT_EQ(Bytes(bytes.begin() + 20, bytes.begin() + 24), (Bytes{1, 0, 0, 0}));
    EXPECT_EQ(m_doc->m_nOrientation, 0);
    EXPECT_EQ(m_doc->m_nMode, kModeBreed);
    EXPECT_FALSE(m_view.m_bRepeat);
    (void)before;

    CQuorvaleDoc other;
    other.OnNewDocument();
    ASSERT_TRUE(other.OpenFromBytes(bytes, "x.bio"));
    EXPECT_EQ(GenesOf(*other.m_pCurrent), GenesOf(*m_doc->m_pCurrent));
    EXPECT_EQ(other.m_pCurrent->Gradient(11), 2);
    EXPECT_EQ(other.m_pCurrent->Gradient(12), 0);
}

TEST_F(CDocTest, SavingInEngineerKeepsTheModeAndTheOffspring) {
    m_doc->m_nMode = kModeEngineer;
    const std::vector<int32_t> before = GenesOf(*m_doc->m_listOffspring[3]);
    m_doc->SaveToBytes();
    EXPECT_EQ(m_doc->m_nMode, kModeEngineer);
    EXPECT_EQ(GenesOf(*m_doc->m_listOffspring[3]), before);
}

TEST_F(CDocTest, LoadingInEngineerStaysInEngineer) {
    m_doc->m_nMode = kModeEngineer;
    ASSERT_TRUE(m_doc->OpenFromBytes(File(Narrow(kSig)), "a.bio"));
    EXPECT_EQ(m_doc->m_nMode, kModeEngineer);
    EXPECT_EQ(m_view.m_modes.back(), kModeEngineer);
    // The bar, which edits the current morph there, ends on it rather than on an offspring.
    EXPECT_EQ(m_view.m_pShown, m_doc->m_pCurrent.get());
    m_doc->m_nMode = kModeFossils;
    ASSERT_TRUE(m_doc->OpenFromBytes(File(Narrow(kSig)), "a.bio"));
    EXPECT_EQ(m_doc->m_nMode, kModeBreed);
    EXPECT_EQ(m_view.m_nCols, 5);
}

// A save that fails part-way (here: the file-size limit, as a full disk would) must report
// and leave the previous file whole.
TEST_F(CDocTest, FailedSaveLeavesTheOldFileIntact) {
    const auto dir =
        std::filesystem::temp_directory_path() / ("quorvale-save-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    const std::string path = (dir / "keep.bio").string();
    ASSERT_TRUE(m_doc->SaveFile(path));
    const auto size = std::filesystem::file_size(path);
    m_doc->m_pCurrent->SetGene(1, 395);

    struct rlimit old {};
    getrlimit(RLIMIT_FSIZE, &old);
    auto* oldHandler = signal(SIGXFSZ, SIG_IGN);
    struct rlimit tiny = old;
    tiny.rlim_cur = 100;
    setrlimit(RLIMIT_FSIZE, &tiny);
    const bool bSaved = m_doc->SaveFile(path);
    setrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(bSaved);
    EXPECT_FALSE(Messages().empty());
    EXPECT_EQ(std::filesystem::file_size(path), size);
    CQuorvaleDoc reader;
    ASSERT_TRUE(reader.OpenFile(path));
    EXPECT_EQ(reader.m_pCurrent->Gene(1), -10);
    // No temporary file is left behind.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1);

    // Save as into a folder that does not exist: reported, title still changes.
    EXPECT_FALSE(m_doc->SaveAs((dir / "no" / "such.bio").string()));
    EXPECT_EQ(m_doc->Title(), "such.bio");
    std::filesystem::remove_all(dir);
}

// A save that cannot even begin (no such folder, a read-only file) leaves the document as it
// was: saving otherwise breeds anew and resets the orientation.
TEST_F(CDocTest, SaveThatCannotBeginChangesNothing) {
    const auto dir =
        std::filesystem::temp_directory_path() / ("quorvale-ro-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    const std::string readOnly = (dir / "locked.bio").string();
    ASSERT_TRUE(m_doc->SaveFile(readOnly));
    std::filesystem::permissions(readOnly, std::filesystem::perms::owner_read |
                                               std::filesystem::perms::group_read |
                                               std::filesystem::perms::others_read);
    m_doc->m_nOrientation = 2;
    m_doc->m_pCurrent->SetGene(1, 5);
    const std::vector<int32_t> offspring = GenesOf(*m_doc->m_listOffspring[0]);
    for (const std::string& path : {readOnly, (dir / "no" / "such.bio").string()}) {
        SCOPED_TRACE(path);
        EXPECT_FALSE(m_doc->SaveFile(path));
        EXPECT_EQ(m_doc->m_nOrientation, 2);
        EXPECT_EQ(GenesOf(*m_doc->m_listOffspring[0]), offspring);
    }
    ASSERT_EQ(Messages().size(), 2u);
    EXPECT_NE(Messages()[0].find("denied"), std::string::npos);
    CQuorvaleDoc reader;
    ASSERT_TRUE(reader.OpenFile(readOnly));
    EXPECT_EQ(reader.m_pCurrent->Gene(1), -10);
    EXPECT_EQ(std::filesystem::status(readOnly).permissions() & std::filesystem::perms::owner_write,
              std::filesystem::perms::none);
    std::filesystem::remove_all(dir);
}

TEST_F(CDocTest, ClipboardBlockCarriesTheRecordAndRefusesBlocksOfTheWrongSize) {
    m_doc->m_pCurrent->SetGene(3, 77);
    const Bytes block = EncodeClipboardBlock(*m_doc->m_pCurrent);
    ASSERT_EQ(block.size(), 4096u);
    CArchive ar;
    m_doc->m_pCurrent->Serialize(ar);
    EXPECT_TRUE(std::equal(ar.Buffer().begin(), ar.Buffer().end(), block.begin()));
    EXPECT_TRUE(std::all_of(block.begin() + 140, block.end(), [](uint8_t b) { return b == 0; }));

    CBioMorph target;
    target.Measure(0, 0, 0);
    EXPECT_FALSE(DecodeClipboardBlock(block.data(), 139, target));
    EXPECT_EQ(target.Gene(3), -10);
    EXPECT_EQ(target.m_bLaidOut, 1);
    // Longer than the program's own block: something else wrote it, and it is not read.
    Bytes longer = block;
    longer.resize(4097);
    EXPECT_FALSE(DecodeClipboardBlock(longer.data(), longer.size(), target));
    EXPECT_EQ(target.Gene(3), -10);
    EXPECT_TRUE(DecodeClipboardBlock(block.data(), 140, target));
    EXPECT_EQ(GenesOf(target), GenesOf(*m_doc->m_pCurrent));
    EXPECT_EQ(target.m_bLaidOut, 0);
    for (const size_t size :
         {size_t{0}, size_t{10}, size_t{139}, size_t{4097}, size_t{200} << 20}) {
        EXPECT_FALSE(IsClipboardBlockSize(size)) << size;
    }
    for (const size_t size : {size_t{140}, size_t{141}, size_t{4096}}) {
        EXPECT_TRUE(IsClipboardBlockSize(size)) << size;
    }
}

}  // namespace
