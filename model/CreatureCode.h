#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "model/GeneTables.h"

class CBioMorph;

// What a creature code carries: exactly the fields of the morph's archive record (genes 1-19
// and gradients 1-9, 11 and 14-19), so a code gives back the creature a .bio file would.
// Gradients 10, 12 and 13 are not in the record and play no part in development.
struct SCodeGenome {
    static constexpr int kGradientCount = 16;
    // The gene number of each gradient, in record order.
    static constexpr std::array<int, kGradientCount> kGradientGenes = {
        1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 14, 15, 16, 17, 18, 19};

    std::array<int32_t, kGeneCount> genes{};          // genes 1-19
    std::array<int32_t, kGradientCount> gradients{};  // in the order of kGradientGenes

    static SCodeGenome Of(const CBioMorph& morph);
    // Sets the genes and the sixteen gradients; gradients 10, 12 and 13 keep their values, as
    // they do when a file is loaded.
    void ApplyTo(CBioMorph& morph) const;

    friend bool operator==(const SCodeGenome&, const SCodeGenome&) = default;
};

// Why a text was not taken as a creature code. The GUI may translate by kind; Message() is
// the English text the tool prints.
enum class ECodeError {
    None,
    Empty,             // nothing but spaces and hyphens
    UnknownCharacter,  // a character that is no letter or digit of a code
    NotACode,          // does not start with Q
    TooShort,
    CheckMismatch,   // a character is wrong or two are swapped
    UnknownVersion,  // a later kind of code than this program reads
    TrailingText,    // a whole code followed by more text
    Damaged,         // the check holds but the letters stand for no creature
    NotFound,        // FindInText: the text holds nothing that looks like a code
};

struct SCodeReading {
    std::optional<SCodeGenome> genome;
    ECodeError error = ECodeError::None;
    std::string strDetail;  // the unknown character, the unknown version or the trailing text
    size_t nPosition = 0;   // UnknownCharacter: 1-based position in the text, in characters
    size_t nLength = 0;     // TooShort: letters and digits found

    explicit operator bool() const { return genome.has_value(); }
    std::string Message() const;
};

// Where FindInText found a code: byte offset and length of the code in the text as given.
struct SCodeSearch {
    SCodeReading reading;
    size_t nOffset = 0;
    size_t nLength = 0;
};

// A creature as a short line of text, for reading aloud, typing, mailing and pasting.
//
// A code is "Q", a version character, the genome as a base-32 number and a check character,
// written in Crockford's base-32 letters and digits (0-9 and A-Z without I, L, O and U) in
// groups of five joined by hyphens. Reading ignores case, spaces and hyphens and takes i and
// l for 1 and o for 0.
//
//   Q1  compact: every gene within its limits and every gradient -2, 0 or 2 (all that
//       breeding and hopeful monsters make). The 35 fields form one mixed-radix number, 31
//       characters: 34 with Q1 and the check, 40 with the hyphens.
//   Q2  full: any 32-bit values, as a .bio file may hold. Each field's radix gains one digit
//       that means "outside the compact range" (33 characters for all of them); each such
//       field then follows, zigzag-coded, in characters of four bits with a fifth bit that
//       says another one follows.
//
// The check character c makes sum(s_i * a^(n-i)) + c = 0 in GF(32) (x^5 + x^2 + 1, a = x)
// over every character before it: each position weighs by a different non-zero element and
// neighbours by different ones, so every single wrong character and every swap of two
// different neighbours is caught. Later versions keep Q, the check and a length of at least
// 34, so this program names them as unknown versions rather than as damaged codes.
//
// Every genome has exactly one code, so equal codes mean equal creatures.
class CCreatureCode {
public:
    static constexpr char kPrefix = 'Q';
    static constexpr char kCompactVersion = '1';
    static constexpr char kFullVersion = '2';
    // Letters and digits of a compact code; no code of any version is shorter.
    static constexpr size_t kCompactLength = 34;
    static constexpr size_t kGroupLength = 5;

    static std::string Encode(const SCodeGenome& genome);
    static std::string Encode(const CBioMorph& morph);
    // Whether the genome fits the compact form.
    static bool IsCompact(const SCodeGenome& genome);

    // Reads one code: the whole text must be the code, spaces and hyphens aside.
    static SCodeReading Decode(std::string_view text);
    // Finds the first good code in any text (a message, the clipboard): a Q starting a word,
    // followed by the code's letters and digits (single spaces and hyphens between them) and
    // ending at a word's end. Without one, the reading says why the first likely candidate
    // failed, or NotFound. Looks at the first 4096 places where a code could start.
    static SCodeSearch FindInText(std::string_view text);
};
