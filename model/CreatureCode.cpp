#include "model/CreatureCode.h"

#include <algorithm>
#include <vector>

#include "model/BioMorph.h"

namespace {

constexpr char kAlphabet[] = "0123456789ABCDEFGHJKMNPQRSTVWXYZ";
constexpr int kFieldCount = kGeneCount + SCodeGenome::kGradientCount;
// The longest code: Q, version, the full form's number and every field written out in
// eight characters, then the check.
constexpr size_t kMaxCodeLength = 2 + 33 + kFieldCount * 8 + 1;
constexpr size_t kMaxCandidates = 4096;

// The compact range of each field, in record order. This table is the code's format: a
// change here changes what every code ever given out means, so it is fixed apart from the
// gene tables. Genes take every whole number within their limits, not only multiples of
// their step, since hopeful monsters draw any of them.
struct SFieldRange {
    int32_t nMin;
    int32_t nMax;
    int32_t nStep;

    uint32_t Count() const { return static_cast<uint32_t>((int64_t{nMax} - nMin) / nStep + 1); }
    bool Holds(int32_t v) const {
        return v >= nMin && v <= nMax && (int64_t{v} - nMin) % nStep == 0;
    }
    uint32_t Digit(int32_t v) const { return static_cast<uint32_t>((int64_t{v} - nMin) / nStep); }
    int32_t Value(uint32_t digit) const {
        return static_cast<int32_t>(nMin + int64_t{digit} * nStep);
    }
};

constexpr SFieldRange kVector{-400, 400, 1};
constexpr SFieldRange kGradient{-2, 2, 2};
constexpr SFieldRange kFieldRanges[kFieldCount] = {
    kVector,        kVector,   kVector,        kVector,     kVector,     kVector,
    kVector,        kVector,                                                           // genes 1-8
    {1, 9, 1},      {1, 9, 1}, {-100, 100, 1}, {0, 1, 1},   {0, 2, 1},                 // 9-13
    {-400, 400, 1}, {0, 3, 1}, {0, 160, 1},    {0, 160, 1}, {-8, 10, 1}, {-4, 10, 1},  // 14-19
    kGradient,      kGradient, kGradient,      kGradient,   kGradient,   kGradient,
    kGradient,      kGradient, kGradient,      kGradient,   kGradient,   kGradient,
    kGradient,      kGradient, kGradient,      kGradient,
};

// ---------------------------------------------------------------------------------------
// Symbols

constexpr uint8_t kQ = 23;  // 'Q' in the alphabet

// The value of a code character, lookalikes included; -1 for anything else.
int SymbolValue(unsigned char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'z') {
        c = static_cast<unsigned char>(c - 'a' + 'A');
    }
    switch (c) {
        case 'I':
        case 'L':
            return 1;
        case 'O':
            return 0;
        default:
            break;
    }
    for (int v = 10; v < 32; ++v) {
        if (kAlphabet[v] == c) {
            return v;
        }
    }
    return -1;
}

bool IsAsciiAlnum(unsigned char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Spaces and hyphens between the characters, as typed or as a word processor or web page
// turns them: no-break spaces and the Unicode hyphens and dashes count too. Returns the
// separator's length in bytes, 0 when there is none at i, and tells whether it is a space
// (a word break) rather than a hyphen.
size_t SeparatorAt(std::string_view text, size_t i, bool& bSpace) {
    const auto c = static_cast<unsigned char>(text[i]);
    bSpace = c == ' ' || c == '\t' || c == '\n' || c == '\r';
    if (bSpace) {
        return 1;
    }
    if (c == '-') {
        return 1;
    }
    const auto next = [&](size_t k) {
        return i + k < text.size() ? static_cast<unsigned char>(text[i + k]) : 0;
    };
    if (c == 0xC2 && next(1) == 0xA0) {  // U+00A0
        bSpace = true;
        return 2;
    }
    if (c == 0xE2 && next(1) == 0x80 && next(2) >= 0x90 && next(2) <= 0x94) {  // U+2010-2014
        return 3;
    }
    return 0;
}

// GF(32) with x^5 + x^2 + 1: multiplication by x.
uint8_t TimesX(uint8_t v) {
    v = static_cast<uint8_t>(v << 1);
    return (v & 0x20) ? static_cast<uint8_t>(v ^ 0x25) : v;
}

// The check character of the first n symbols.
uint8_t CheckOf(const uint8_t* s, size_t n) {
    uint8_t acc = 0;
    for (size_t i = 0; i < n; ++i) {
        acc = TimesX(static_cast<uint8_t>(acc ^ s[i]));
    }
    return acc;
}

// Whether the first n symbols end in their own check character.
bool CheckHolds(const std::vector<uint8_t>& s, size_t n) {
    return n >= 1 && n <= s.size() && CheckOf(s.data(), n - 1) == s[n - 1];
}

// ---------------------------------------------------------------------------------------
// A whole number of up to 256 bits, enough for the 33 base-32 digits of the longest number.

class CBigNumber {
public:
    void MulAdd(uint32_t factor, uint32_t addend) {
        uint64_t carry = addend;
        for (uint32_t& limb : m_limbs) {
            const uint64_t v = uint64_t{limb} * factor + carry;
            limb = static_cast<uint32_t>(v);
            carry = v >> 32;
        }
    }
    uint32_t DivMod(uint32_t divisor) {
        uint64_t rest = 0;
        for (size_t i = m_limbs.size(); i-- > 0;) {
            const uint64_t v = (rest << 32) | m_limbs[i];
            m_limbs[i] = static_cast<uint32_t>(v / divisor);
            rest = v % divisor;
        }
        return static_cast<uint32_t>(rest);
    }
    void Decrement() {
        for (uint32_t& limb : m_limbs) {
            if (limb-- != 0) {
                return;
            }
        }
    }
    bool IsZero() const {
        return std::all_of(m_limbs.begin(), m_limbs.end(), [](uint32_t l) { return l == 0; });
    }

private:
    std::array<uint32_t, 8> m_limbs{};
};

uint32_t Radix(int field, bool bCompact) {
    return kFieldRanges[field].Count() + (bCompact ? 0 : 1);
}

// Base-32 digits of the largest number of the form.
size_t ComputeHeadDigits(bool bCompact) {
    CBigNumber n;
    n.MulAdd(1, 1);
    for (int f = 0; f < kFieldCount; ++f) {
        n.MulAdd(Radix(f, bCompact), 0);
    }
    n.Decrement();
    size_t digits = 0;
    while (!n.IsZero()) {
        n.DivMod(32);
        ++digits;
    }
    return digits;
}

size_t HeadDigits(bool bCompact) {
    static const size_t kCompact = ComputeHeadDigits(true);
    static const size_t kFull = ComputeHeadDigits(false);
    return bCompact ? kCompact : kFull;
}

std::array<int32_t, kFieldCount> FieldsOf(const SCodeGenome& genome) {
    std::array<int32_t, kFieldCount> fields{};
    std::copy(genome.genes.begin(), genome.genes.end(), fields.begin());
    std::copy(genome.gradients.begin(), genome.gradients.end(), fields.begin() + kGeneCount);
    return fields;
}

SCodeGenome GenomeOf(const std::array<int32_t, kFieldCount>& fields) {
    SCodeGenome genome;
    std::copy(fields.begin(), fields.begin() + kGeneCount, genome.genes.begin());
    std::copy(fields.begin() + kGeneCount, fields.end(), genome.gradients.begin());
    return genome;
}

uint32_t ZigZag(int32_t v) {
    return (static_cast<uint32_t>(v) << 1) ^ static_cast<uint32_t>(v >> 31);
}

int32_t UnZigZag(uint32_t z) {
    return static_cast<int32_t>((z >> 1) ^ (0u - (z & 1)));
}

// Four bits a character, most significant first, 16 added to every character but the last.
void AppendWide(std::vector<uint8_t>& symbols, uint32_t z) {
    int nibbles = 1;
    while (nibbles < 8 && (z >> (4 * nibbles)) != 0) {
        ++nibbles;
    }
    for (int k = nibbles - 1; k >= 0; --k) {
        const auto nibble = static_cast<uint8_t>((z >> (4 * k)) & 0xF);
        symbols.push_back(static_cast<uint8_t>(nibble | (k > 0 ? 0x10 : 0)));
    }
}

// Reads the code at the start of the symbols (the check character is not tested here).
// Returns the code's length, check character included, when the symbols begin with a whole
// code of a known version in its one correct spelling.
std::optional<size_t> ParseCode(const std::vector<uint8_t>& s, SCodeGenome& genome) {
    if (s.size() < CCreatureCode::kCompactLength || s[0] != kQ) {
        return std::nullopt;
    }
    const int version = s[1];
    const bool bCompact = version == SymbolValue(CCreatureCode::kCompactVersion);
    if (!bCompact && version != SymbolValue(CCreatureCode::kFullVersion)) {
        return std::nullopt;
    }
    const size_t head = HeadDigits(bCompact);
    size_t pos = 2;
    if (s.size() < pos + head + 1) {
        return std::nullopt;
    }
    CBigNumber n;
    for (size_t i = 0; i < head; ++i) {
        n.MulAdd(32, s[pos++]);
    }
    std::array<int32_t, kFieldCount> fields{};
    std::array<bool, kFieldCount> wide{};
    bool bAnyWide = false;
    for (int f = 0; f < kFieldCount; ++f) {
        const uint32_t digit = n.DivMod(Radix(f, bCompact));
        wide[f] = digit == kFieldRanges[f].Count();
        bAnyWide = bAnyWide || wide[f];
        fields[f] = wide[f] ? 0 : kFieldRanges[f].Value(digit);
    }
    // A number past the last genome, or a full code that the compact form would spell.
    if (!n.IsZero() || (!bCompact && !bAnyWide)) {
        return std::nullopt;
    }
    for (int f = 0; f < kFieldCount; ++f) {
        if (!wide[f]) {
            continue;
        }
        uint32_t z = 0;
        for (int k = 0;; ++k) {
            // Leave room for the check character after the field.
            if (k == 8 || pos + 1 >= s.size() || (k == 0 && s[pos] == 0x10)) {
                return std::nullopt;
            }
            const uint8_t c = s[pos++];
            z = (z << 4) | (c & 0xF);
            if ((c & 0x10) == 0) {
                break;
            }
        }
        fields[f] = UnZigZag(z);
        if (kFieldRanges[f].Holds(fields[f])) {
            return std::nullopt;
        }
    }
    genome = GenomeOf(fields);
    return pos + 1;
}

// ---------------------------------------------------------------------------------------
// Reading text

// The code characters of a text with where each stands, up to the first character that is
// none.
struct SScan {
    std::vector<uint8_t> symbols;
    std::vector<size_t> offsets;    // byte offset of each symbol
    std::vector<bool> spaceBefore;  // a space (not only a hyphen) comes before the symbol
    bool bUnknown = false;
    size_t nUnknownOffset = 0;
    std::string strUnknown;       // the character, readable
    size_t nUnknownPosition = 0;  // 1-based, in characters
};

// The character starting at byte i as it can be shown, and its length in bytes.
std::string ShownCharacter(std::string_view text, size_t i, size_t& length) {
    const auto c = static_cast<unsigned char>(text[i]);
    length = 1;
    size_t expected = 0;
    if (c >= 0xC2 && c <= 0xDF) {
        expected = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
        expected = 3;
    } else if (c >= 0xF0 && c <= 0xF4) {
        expected = 4;
    }
    if (expected > 0 && i + expected <= text.size()) {
        bool bWhole = true;
        for (size_t k = 1; k < expected; ++k) {
            bWhole = bWhole && (static_cast<unsigned char>(text[i + k]) & 0xC0) == 0x80;
        }
        if (bWhole) {
            length = expected;
            return std::string(text.substr(i, expected));
        }
    }
    if (c >= 0x20 && c < 0x7F) {
        return std::string(1, static_cast<char>(c));
    }
    static const char kHex[] = "0123456789ABCDEF";
    return std::string("\\x") + kHex[c >> 4] + kHex[c & 0xF];
}

SScan Scan(std::string_view text, size_t maxSymbols = SIZE_MAX) {
    SScan scan;
    bool bSpace = false;
    for (size_t i = 0; i < text.size() && scan.symbols.size() < maxSymbols;) {
        bool bThisSpace = false;
        if (const size_t sep = SeparatorAt(text, i, bThisSpace)) {
            bSpace = bSpace || bThisSpace;
            i += sep;
            continue;
        }
        const int v = SymbolValue(static_cast<unsigned char>(text[i]));
        if (v < 0) {
            scan.bUnknown = true;
            scan.nUnknownOffset = i;
            size_t length = 0;
            scan.strUnknown = ShownCharacter(text, i, length);
            scan.nUnknownPosition = 1;
            for (size_t k = 0; k < i; ++k) {
                scan.nUnknownPosition += (static_cast<unsigned char>(text[k]) & 0xC0) != 0x80;
            }
            break;
        }
        scan.symbols.push_back(static_cast<uint8_t>(v));
        scan.offsets.push_back(i);
        scan.spaceBefore.push_back(bSpace);
        bSpace = false;
        ++i;
    }
    return scan;
}

// The start of a text that runs on after a code, shown in a message: its first line, cut
// short.
std::string ShownTail(std::string_view text) {
    const size_t start = text.find_first_not_of(" \t\r\n");
    if (start == std::string_view::npos) {
        return {};
    }
    text = text.substr(start);
    text = text.substr(0, text.find_first_of("\r\n"));
    constexpr size_t kShown = 24;
    std::string shown;
    size_t i = 0;
    size_t characters = 0;
    while (i < text.size() && characters < kShown) {
        size_t length = 0;
        shown += ShownCharacter(text, i, length);
        i += length;
        ++characters;
    }
    if (i < text.size()) {
        shown += "...";
    }
    return shown;
}

SCodeReading Failure(ECodeError error) {
    SCodeReading reading;
    reading.error = error;
    return reading;
}

SCodeReading Trailing(std::string_view rest) {
    SCodeReading reading = Failure(ECodeError::TrailingText);
    reading.strDetail = ShownTail(rest);
    return reading;
}

// Whether the symbols start with a whole good code of `length` symbols.
bool StartsWithCode(const std::vector<uint8_t>& symbols, size_t& length) {
    SCodeGenome ignored;
    const std::optional<size_t> parsed = ParseCode(symbols, ignored);
    if (!parsed || !CheckHolds(symbols, *parsed)) {
        return false;
    }
    length = *parsed;
    return true;
}

}  // namespace

// ---------------------------------------------------------------------------------------

SCodeGenome SCodeGenome::Of(const CBioMorph& morph) {
    SCodeGenome genome;
    for (int g = 1; g <= kGeneCount; ++g) {
        genome.genes[g - 1] = morph.m_Genes[g];
    }
    for (int i = 0; i < kGradientCount; ++i) {
        genome.gradients[i] = morph.m_Gradients[kGradientGenes[i]];
    }
    return genome;
}

void SCodeGenome::ApplyTo(CBioMorph& morph) const {
    morph.SetGenes(genes);
    for (int i = 0; i < kGradientCount; ++i) {
        morph.SetGradient(kGradientGenes[i], gradients[i]);
    }
}

std::string SCodeReading::Message() const {
    switch (error) {
        case ECodeError::None:
            return {};
        case ECodeError::Empty:
            return "the code is empty";
        case ECodeError::UnknownCharacter:
            return "unknown character '" + strDetail + "' at position " + std::to_string(nPosition);
        case ECodeError::NotACode:
            return "not a creature code (a creature code starts with Q)";
        case ECodeError::TooShort:
            return "too short (a creature code has at least " +
                   std::to_string(CCreatureCode::kCompactLength) +
                   " letters and digits, this one has " + std::to_string(nLength) + ")";
        case ECodeError::CheckMismatch:
            return "check character does not match (a character is wrong or two are swapped)";
        case ECodeError::UnknownVersion:
            return "unknown code version '" + strDetail +
                   "' (the code comes from a later Quorvale)";
        case ECodeError::TrailingText:
            return "unexpected text after the code: '" + strDetail + "'";
        case ECodeError::Damaged:
            return "the code is damaged (its letters and digits stand for no creature)";
        case ECodeError::NotFound:
            return "the text holds no creature code";
    }
    return {};
}

bool CCreatureCode::IsCompact(const SCodeGenome& genome) {
    const auto fields = FieldsOf(genome);
    for (int f = 0; f < kFieldCount; ++f) {
        if (!kFieldRanges[f].Holds(fields[f])) {
            return false;
        }
    }
    return true;
}

std::string CCreatureCode::Encode(const SCodeGenome& genome) {
    const auto fields = FieldsOf(genome);
    const bool bCompact = IsCompact(genome);
    std::vector<uint8_t> symbols = {
        kQ, static_cast<uint8_t>(SymbolValue(bCompact ? kCompactVersion : kFullVersion))};
    CBigNumber n;
    for (int f = kFieldCount - 1; f >= 0; --f) {
        const SFieldRange& range = kFieldRanges[f];
        n.MulAdd(Radix(f, bCompact),
                 range.Holds(fields[f]) ? range.Digit(fields[f]) : range.Count());
    }
    const size_t head = HeadDigits(bCompact);
    symbols.resize(2 + head);
    for (size_t i = 0; i < head; ++i) {
        symbols[symbols.size() - 1 - i] = static_cast<uint8_t>(n.DivMod(32));
    }
    for (int f = 0; f < kFieldCount; ++f) {
        if (!kFieldRanges[f].Holds(fields[f])) {
            AppendWide(symbols, ZigZag(fields[f]));
        }
    }
    symbols.push_back(CheckOf(symbols.data(), symbols.size()));

    std::string text;
    for (size_t i = 0; i < symbols.size(); ++i) {
        if (i > 0 && i % kGroupLength == 0) {
            text += '-';
        }
        text += kAlphabet[symbols[i]];
    }
    return text;
}

std::string CCreatureCode::Encode(const CBioMorph& morph) {
    return Encode(SCodeGenome::Of(morph));
}

SCodeReading CCreatureCode::Decode(std::string_view text) {
    const SScan scan = Scan(text);
    const std::vector<uint8_t>& s = scan.symbols;
    const size_t n = s.size();
    size_t length = 0;

    if (scan.bUnknown) {
        // A whole code ended by a space or by the odd character itself: what follows is extra.
        if (StartsWithCode(s, length) && (length == n || scan.spaceBefore[length])) {
            return Trailing(text.substr(length == n ? scan.nUnknownOffset : scan.offsets[length]));
        }
        SCodeReading reading = Failure(ECodeError::UnknownCharacter);
        reading.strDetail = scan.strUnknown;
        reading.nPosition = scan.nUnknownPosition;
        return reading;
    }
    if (n == 0) {
        return Failure(ECodeError::Empty);
    }
    if (s[0] != kQ) {
        return Failure(ECodeError::NotACode);
    }
    if (n < kCompactLength) {
        SCodeReading reading = Failure(ECodeError::TooShort);
        reading.nLength = n;
        return reading;
    }
    if (!CheckHolds(s, n)) {
        // Only a break between words sets the extra text apart: within a run of letters a
        // wrong character could fake the end of a shorter code.
        if (StartsWithCode(s, length) && length < n && scan.spaceBefore[length]) {
            return Trailing(text.substr(scan.offsets[length]));
        }
        return Failure(ECodeError::CheckMismatch);
    }
    const int version = s[1];
    if (version != SymbolValue(kCompactVersion) && version != SymbolValue(kFullVersion)) {
        SCodeReading reading = Failure(ECodeError::UnknownVersion);
        reading.strDetail = std::string(1, kAlphabet[version]);
        return reading;
    }
    SCodeReading reading;
    const std::optional<size_t> parsed = ParseCode(s, reading.genome.emplace());
    if (!parsed || *parsed != n) {
        return Failure(ECodeError::Damaged);
    }
    return reading;
}

SCodeSearch CCreatureCode::FindInText(std::string_view text) {
    SCodeSearch search;
    search.reading = Failure(ECodeError::NotFound);
    bool bHaveCandidate = false;
    size_t candidates = 0;
    for (size_t p = 0; p < text.size() && candidates < kMaxCandidates; ++p) {
        const auto c = static_cast<unsigned char>(text[p]);
        if ((c != 'Q' && c != 'q') ||
            (p > 0 && IsAsciiAlnum(static_cast<unsigned char>(text[p - 1])))) {
            continue;
        }
        ++candidates;
        // The run of code characters from here, with single spaces or hyphens between them.
        size_t end = p;
        std::vector<size_t> offsets;
        std::vector<uint8_t> symbols;
        for (size_t i = p; i < text.size() && symbols.size() < kMaxCodeLength;) {
            bool bSpace = false;
            const size_t sep = SeparatorAt(text, i, bSpace);
            if (sep > 0) {
                bool bNextSpace = false;
                if (i + sep >= text.size() || SeparatorAt(text, i + sep, bNextSpace) > 0) {
                    break;
                }
                i += sep;
                continue;
            }
            const int v = SymbolValue(static_cast<unsigned char>(text[i]));
            if (v < 0) {
                break;
            }
            symbols.push_back(static_cast<uint8_t>(v));
            offsets.push_back(i);
            end = ++i;
        }
        size_t length = 0;
        if (StartsWithCode(symbols, length)) {
            const size_t after = offsets[length - 1] + 1;
            if (after == text.size() || !IsAsciiAlnum(static_cast<unsigned char>(text[after]))) {
                search.nOffset = p;
                search.nLength = after - p;
                search.reading = Decode(text.substr(p, after - p));
                return search;
            }
        }
        // Something that looks meant as a code: say what is wrong with it if nothing better
        // turns up.
        constexpr size_t kLikelyLength = 10;
        if (!bHaveCandidate && symbols.size() >= kLikelyLength) {
            bHaveCandidate = true;
            search.nOffset = p;
            search.nLength = end - p;
            search.reading = Decode(text.substr(p, end - p));
        }
    }
    if (!bHaveCandidate) {
        search.nOffset = 0;
        search.nLength = 0;
    }
    return search;
}
