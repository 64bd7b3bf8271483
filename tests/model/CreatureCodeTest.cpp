#include <algorithm>
#include <climits>
#include <random>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "model/Archive.h"
#include "model/CreatureCode.h"

namespace {

using CCreatureCodeTest = CModelTest;

constexpr char kAlphabet[] = "0123456789ABCDEFGHJKMNPQRSTVWXYZ";
// The basic creature's code. Codes are given out and kept: it must never change.
constexpr const char* kBasicCode = "Q15X2-GE51B-WD418-B4EGE-MPX29-J7RDB-N2R0";

SCodeGenome BasicGenome() {
    CBioMorph morph;
    morph.SetGenes(kBasicGenes);
    return SCodeGenome::Of(morph);
}

// A genome far from every limit, gradients included: the full form at its longest.
SCodeGenome ExtremeGenome() {
    SCodeGenome g;
    for (size_t i = 0; i < g.genes.size(); ++i) {
        g.genes[i] = i % 2 ? INT32_MIN : INT32_MAX;
    }
    for (size_t i = 0; i < g.gradients.size(); ++i) {
        g.gradients[i] = i % 2 ? INT32_MAX : INT32_MIN;
    }
    return g;
}

std::string WithoutHyphens(std::string code) {
    code.erase(std::remove(code.begin(), code.end(), '-'), code.end());
    return code;
}

// Genomes drawn from a seeded generator: most within the compact ranges, some with fields
// anywhere in 32 bits or just outside a range, as files and the gene bar's typing can bring.
class CGenomeSource {
public:
    explicit CGenomeSource(uint32_t seed) : m_random(seed) {}

    SCodeGenome Next() {
        SCodeGenome g;
        const bool bWild = Pick(0, 3) == 0;
        for (int gene = 1; gene <= kGeneCount; ++gene) {
            const SGeneLimit& lim = g_GeneLimits[gene];
            g.genes[gene - 1] = Pick(lim.nMin, lim.nMax);
        }
        for (int32_t& d : g.gradients) {
            d = 2 * Pick(-1, 1);
        }
        if (bWild) {
            const int changes = Pick(1, 35);
            for (int k = 0; k < changes; ++k) {
                const int field = Pick(0, 34);
                int32_t& v = field < kGeneCount ? g.genes[field] : g.gradients[field - kGeneCount];
                v = Wild(v);
            }
        }
        return g;
    }

private:
    int32_t Pick(int32_t lo, int32_t hi) {
        return std::uniform_int_distribution<int32_t>(lo, hi)(m_random);
    }
    // Anywhere in 32 bits, at its ends, or a step beside the value.
    int32_t Wild(int32_t v) {
        switch (Pick(0, 4)) {
            case 0:
                return INT32_MIN;
            case 1:
                return INT32_MAX;
            case 2:
                // Beside the value, kept within 32 bits.
                return static_cast<int32_t>(
                    std::clamp<int64_t>(int64_t{v} + Pick(-3, 3), INT32_MIN, INT32_MAX));
            case 3:
                return Pick(-100000, 100000);
            default:
                return static_cast<int32_t>(m_random());
        }
    }

    std::mt19937 m_random;
};

std::vector<std::string> SampleCodes() {
    std::vector<std::string> codes = {kBasicCode, CCreatureCode::Encode(ExtremeGenome())};
    CGenomeSource source(7);
    while (codes.size() < 14) {
        codes.push_back(CCreatureCode::Encode(source.Next()));
    }
    return codes;
}

// ---------------------------------------------------------------------------------------
// Round trips

TEST_F(CCreatureCodeTest, HundredThousandRandomGenomesComeBackExactly) {
    CGenomeSource source(20240611);
    int compact = 0;
    int full = 0;
    for (int i = 0; i < 100000; ++i) {
        const SCodeGenome genome = source.Next();
        const std::string code = CCreatureCode::Encode(genome);
        const SCodeReading reading = CCreatureCode::Decode(code);
        ASSERT_TRUE(reading) << code << ": " << reading.Message();
        ASSERT_EQ(*reading.genome, genome) << code;
        if (CCreatureCode::IsCompact(genome)) {
            ++compact;
            ASSERT_EQ(code.substr(0, 2), "Q1");
            ASSERT_EQ(code.size(), 40u) << code;
        } else {
            ++full;
            ASSERT_EQ(code.substr(0, 2), "Q2");
            ASSERT_GT(code.size(), 40u) << code;
        }
        // Groups of five, joined by hyphens.
        for (size_t k = 0; k < code.size(); ++k) {
            ASSERT_EQ(code[k] == '-', k % 6 == 5) << code;
        }
    }
    EXPECT_GT(compact, 50000);
    EXPECT_GT(full, 10000);
}

TEST_F(CCreatureCodeTest, TheBasicCreatureHasAFixedCode) {
    EXPECT_EQ(CCreatureCode::Encode(BasicGenome()), kBasicCode);
    // The longest code there is: every field written out in full.
    const std::string longest = CCreatureCode::Encode(ExtremeGenome());
    EXPECT_EQ(WithoutHyphens(longest).size(), 2u + 33u + 35u * 8u + 1u);
    EXPECT_EQ(*CCreatureCode::Decode(longest).genome, ExtremeGenome());
}

TEST_F(CCreatureCodeTest, CarriesEveryFieldOfTheArchiveRecord) {
    CBioMorph source;
    for (int g = 1; g <= kGeneCount; ++g) {
        source.SetGene(g, 1000 * g - 7);
        source.SetGradient(g, -3 * g);
    }
    CBioMorph target;
    target.SetGradient(10, 44);
    target.SetGradient(12, 55);
    target.SetGradient(13, 66);
    const SCodeReading reading = CCreatureCode::Decode(CCreatureCode::Encode(source));
    ASSERT_TRUE(reading) << reading.Message();
    reading.genome->ApplyTo(target);

    CArchive a;
    CArchive b;
    source.Serialize(a);
    target.Serialize(b);
    EXPECT_EQ(a.TakeBuffer(), b.TakeBuffer());
    // The gradients no record holds stay as the morph had them, as loading a file leaves them.
    EXPECT_EQ(target.Gradient(10), 44);
    EXPECT_EQ(target.Gradient(12), 55);
    EXPECT_EQ(target.Gradient(13), 66);
}

// Whatever breeding makes fits the short code: the compact ranges are the gene limits.
TEST_F(CCreatureCodeTest, GenesWithinTheirLimitsAndUsualGradientsAreCompact) {
    const SCodeGenome basic = BasicGenome();
    for (int g = 1; g <= kGeneCount; ++g) {
        SCOPED_TRACE(g);
        const SGeneLimit& lim = g_GeneLimits[g];
        for (const auto& [value, bCompact] : {std::pair{lim.nMin, true},
                                              {lim.nMax, true},
                                              {lim.nMin - 1, false},
                                              {lim.nMax + 1, false}}) {
            SCodeGenome genome = basic;
            genome.genes[g - 1] = value;
            EXPECT_EQ(CCreatureCode::IsCompact(genome), bCompact) << value;
        }
    }
    for (const auto& [value, bCompact] : {std::pair{-2, true},
                                          {0, true},
                                          {2, true},
                                          {1, false},
                                          {-1, false},
                                          {4, false},
                                          {-4, false}}) {
        SCodeGenome genome = basic;
        genome.gradients[15] = value;
        EXPECT_EQ(CCreatureCode::IsCompact(genome), bCompact) << value;
    }

    SetAllMutable(true);
    CBioMorph morph;
    for (int i = 0; i < 2000; ++i) {
        if (i % 50 == 0) {
            morph.HopefulMonster();
        }
        morph.Mutate(3.0f);
        ASSERT_TRUE(CCreatureCode::IsCompact(SCodeGenome::Of(morph)))
            << CCreatureCode::Encode(morph);
    }
}

// ---------------------------------------------------------------------------------------
// Mistakes

// Every character of every sample code changed into every other one is refused: by the
// check, or at the first character for not starting with Q.
TEST_F(CCreatureCodeTest, EveryWrongCharacterIsCaught) {
    for (const std::string& code : SampleCodes()) {
        SCOPED_TRACE(code);
        for (const std::string& form : {code, WithoutHyphens(code)}) {
            size_t symbol = 0;
            for (size_t i = 0; i < form.size(); ++i) {
                if (form[i] == '-') {
                    continue;
                }
                for (const char* c = kAlphabet; *c; ++c) {
                    if (*c == form[i]) {
                        continue;
                    }
                    std::string wrong = form;
                    wrong[i] = *c;
                    const SCodeReading reading = CCreatureCode::Decode(wrong);
                    ASSERT_EQ(reading.error,
                              symbol == 0 ? ECodeError::NotACode : ECodeError::CheckMismatch)
                        << wrong << ": " << reading.Message();
                }
                ++symbol;
            }
        }
    }
}

TEST_F(CCreatureCodeTest, EverySwapOfNeighboursIsCaught) {
    for (const std::string& code : SampleCodes()) {
        SCOPED_TRACE(code);
        const std::string symbols = WithoutHyphens(code);
        for (size_t i = 0; i + 1 < symbols.size(); ++i) {
            if (symbols[i] == symbols[i + 1]) {
                continue;
            }
            std::string swapped = symbols;
            std::swap(swapped[i], swapped[i + 1]);
            // As typed in one run and as grouped in fives.
            std::string grouped;
            for (size_t k = 0; k < swapped.size(); ++k) {
                grouped += (k > 0 && k % 5 == 0 ? "-" : "") + std::string(1, swapped[k]);
            }
            for (const std::string& text : {swapped, grouped}) {
                const SCodeReading reading = CCreatureCode::Decode(text);
                ASSERT_EQ(reading.error, i == 0 ? ECodeError::NotACode : ECodeError::CheckMismatch)
                    << text << ": " << reading.Message();
            }
        }
    }
}

// The character at the end that makes the rest pass the check (exactly one does).
std::string WithGoodCheck(std::string body) {
    for (const char* c = kAlphabet; *c; ++c) {
        if (CCreatureCode::Decode(body + *c).error != ECodeError::CheckMismatch) {
            return body + *c;
        }
    }
    ADD_FAILURE() << "no check character passes for " << body;
    return body;
}

TEST_F(CCreatureCodeTest, MistakesAreNamed) {
    const std::string basic = WithoutHyphens(kBasicCode);
    const std::string wild = CCreatureCode::Encode(ExtremeGenome());
    const struct {
        std::string text;
        ECodeError error;
        std::string message;
    } kCases[] = {
        {"", ECodeError::Empty, "the code is empty"},
        {" - -\t", ECodeError::Empty, "the code is empty"},
        {"hello", ECodeError::NotACode, "not a creature code (a creature code starts with Q)"},
        {"Q1AB-CD", ECodeError::TooShort,
         "too short (a creature code has at least 34 letters and digits, this one has 6)"},
        // A character dropped.
        {basic.substr(0, 20) + basic.substr(21), ECodeError::TooShort,
         "too short (a creature code has at least 34 letters and digits, this one has 33)"},
        // One added.
        {basic.substr(0, 20) + "7" + basic.substr(20), ECodeError::CheckMismatch,
         "check character does not match (a character is wrong or two are swapped)"},
        {"Q15X2-GU51B", ECodeError::UnknownCharacter, "unknown character 'U' at position 8"},
        // Positions count characters, not bytes.
        {"Q\xc3\xa9X2", ECodeError::UnknownCharacter, "unknown character '\xc3\xa9' at position 2"},
        {"Q1\x01", ECodeError::UnknownCharacter, "unknown character '\\x01' at position 3"},
        {std::string(kBasicCode) + " please", ECodeError::TrailingText,
         "unexpected text after the code: 'please'"},
        {std::string(kBasicCode) + ".", ECodeError::TrailingText,
         "unexpected text after the code: '.'"},
        {wild + "\nand a very long second line of text", ECodeError::TrailingText,
         "unexpected text after the code: 'and a very long second l...'"},
        // Glued on, more text is only a wrong character.
        {std::string(kBasicCode) + "ABC", ECodeError::CheckMismatch,
         "check character does not match (a character is wrong or two are swapped)"},
        // A later version, with a good check.
        {WithGoodCheck("Q3" + basic.substr(2, 31)), ECodeError::UnknownVersion,
         "unknown code version '3' (the code comes from a later Quorvale)"},
        // Good checks on letters that stand for no genome: a number past the last one, and a
        // full code with nothing written out.
        {WithGoodCheck("Q1" + std::string(31, 'Z')), ECodeError::Damaged,
         "the code is damaged (its letters and digits stand for no creature)"},
        {WithGoodCheck("Q2" + std::string(33, '0')), ECodeError::Damaged,
         "the code is damaged (its letters and digits stand for no creature)"},
        {WithGoodCheck("Q1" + std::string(32, '0')), ECodeError::Damaged,
         "the code is damaged (its letters and digits stand for no creature)"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.text);
        const SCodeReading reading = CCreatureCode::Decode(c.text);
        EXPECT_FALSE(reading);
        EXPECT_EQ(reading.error, c.error);
        EXPECT_EQ(reading.Message(), c.message);
    }
}

TEST_F(CCreatureCodeTest, CaseSpacesAndLookalikesDoNotMatter) {
    const SCodeGenome basic = BasicGenome();
    // The basic code holds 0 and 1 to stand in for.
    ASSERT_NE(std::string(kBasicCode).find('0'), std::string::npos);
    ASSERT_NE(std::string(kBasicCode).find('1'), std::string::npos);
    auto replaced = [](std::string text, char from, char to) {
        std::replace(text.begin(), text.end(), from, to);
        return text;
    };
    std::string lower = kBasicCode;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](char c) { return static_cast<char>(std::tolower(c)); });
    const std::string texts[] = {
        lower,
        WithoutHyphens(kBasicCode),
        replaced(kBasicCode, '-', ' '),
        "  " + replaced(kBasicCode, '-', '\n') + " \t",
        "Q-1-5-X-2 GE51B--WD418 B4EGE MPX29 J7RDB N2R0",
        replaced(replaced(kBasicCode, '0', 'O'), '1', 'I'),
        replaced(replaced(kBasicCode, '0', 'o'), '1', 'l'),
        replaced(lower, '1', 'L'),
        replaced(lower, '1', 'i'),
        // As a word processor or a web page may pass it on: no-break spaces, en dashes.
        "Q15X2\xe2\x80\x93GE51B\xc2\xa0WD418\xe2\x80\x90"
        "B4EGE-MPX29-J7RDB-N2R0",
    };
    for (const std::string& text : texts) {
        const SCodeReading reading = CCreatureCode::Decode(text);
        ASSERT_TRUE(reading) << text << ": " << reading.Message();
        EXPECT_EQ(*reading.genome, basic) << text;
    }
}

// ---------------------------------------------------------------------------------------
// Finding a code in any text

TEST_F(CCreatureCodeTest, FindsTheFirstGoodCodeInText) {
    const std::string basic = kBasicCode;
    const std::string wild = CCreatureCode::Encode(ExtremeGenome());
    std::string broken = basic;
    broken[10] = broken[10] == '7' ? '8' : '7';
    const struct {
        std::string text;
        std::string found;  // empty: none
    } kCases[] = {
        {"look at this: " + basic, basic},
        {"look at this: " + basic + ". Nice!", basic},
        {"(" + wild + ")", wild},
        {"first " + broken + ", then " + basic + " and " + wild, basic},
        {"typed: q15x2 ge51b wd418 b4ege mpx29 j7rdb n2r0 - lovely",
         "q15x2 ge51b wd418 b4ege mpx29 j7rdb n2r0"},
        {"line one\r\n" + basic + "\r\n", basic},
        // A code must stand as words of its own.
        {"x" + basic, ""},
        {basic + "x", ""},
        {"no code here, just a Quorvale question", ""},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.text);
        const SCodeSearch search = CCreatureCode::FindInText(c.text);
        if (c.found.empty()) {
            EXPECT_FALSE(search.reading);
            continue;
        }
        ASSERT_TRUE(search.reading) << search.reading.Message();
        EXPECT_EQ(c.text.substr(search.nOffset, search.nLength), c.found);
        EXPECT_EQ(CCreatureCode::Encode(*search.reading.genome),
                  CCreatureCode::Encode(*CCreatureCode::Decode(c.found).genome));
    }
}

TEST_F(CCreatureCodeTest, TextWithoutAGoodCodeSaysWhy) {
    std::string broken = kBasicCode;
    std::swap(broken[7], broken[8]);
    SCodeSearch search = CCreatureCode::FindInText("here: " + broken + " enjoy");
    EXPECT_EQ(search.reading.error, ECodeError::CheckMismatch);
    EXPECT_EQ(search.nOffset, 6u);

    search = CCreatureCode::FindInText("nothing to see");
    EXPECT_EQ(search.reading.error, ECodeError::NotFound);
    EXPECT_EQ(search.reading.Message(), "the text holds no creature code");

    // A megabyte of would-be starts is looked through and refused, not hung on.
    std::string crowd;
    for (int i = 0; i < 250000; ++i) {
        crowd += "Q1Z ";
    }
    EXPECT_FALSE(CCreatureCode::FindInText(crowd).reading);
}

}  // namespace
