// Fuzz target: the bytes are text that may hold a creature code: typed into --code, pasted
// from the clipboard or read from an SVG picture. Reading must end in a genome or a named
// mistake; a genome read has exactly one spelling, the one the encoder gives it; a code found
// in the text reads the same on its own; and the creature must then measure and draw.

#include <cctype>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "MorphExercise.h"
#include "document/PictureCode.h"
#include "model/BioMorph.h"
#include "model/CreatureCode.h"

namespace {

// The letters and digits of an accepted text as the encoder writes them: upper case, with
// i, l and o read as 1, 1 and 0. Everything else in a text Decode accepts is a separator.
std::string Spelling(std::string_view text) {
    std::string out;
    for (char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (u >= 0x80 || !std::isalnum(u)) {
            continue;
        }
        c = static_cast<char>(std::toupper(u));
        out += c == 'I' || c == 'L' ? '1' : c == 'O' ? '0' : c;
    }
    return out;
}

void CheckReading(std::string_view text, const SCodeReading& reading) {
    if (!reading) {
        FuzzCheck(reading.error != ECodeError::None && !reading.Message().empty(),
                  "a refused code gives no reason");
        return;
    }
    FuzzCheck(reading.error == ECodeError::None, "an accepted code carries an error");
    std::string code = CCreatureCode::Encode(*reading.genome);
    const SCodeReading again = CCreatureCode::Decode(code);
    FuzzCheck(again && *again.genome == *reading.genome, "a genome's code reads back otherwise");
    std::erase(code, '-');
    FuzzCheck(Spelling(text) == code, "an accepted code is not the genome's one spelling");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    const SCodeReading reading = CCreatureCode::Decode(text);
    CheckReading(text, reading);

    const SCodeSearch search = CCreatureCode::FindInText(text);
    if (search.reading) {
        FuzzCheck(search.nOffset <= size && search.nLength <= size - search.nOffset,
                  "a found code lies outside the text");
        const std::string_view found = text.substr(search.nOffset, search.nLength);
        CheckReading(found, search.reading);
        const SCodeReading alone = CCreatureCode::Decode(found);
        FuzzCheck(alone && *alone.genome == *search.reading.genome,
                  "a code found in text reads otherwise on its own");
    } else {
        FuzzCheck(!search.reading.Message().empty(), "a search that found nothing says nothing");
    }

    const std::optional<std::string> stored = FindCodeInSvg(text);
    FuzzCheck(!stored || stored->size() <= kMaxStoredCodeLength, "an SVG gave too long a code");

    if (reading) {
        ApplyExerciseSettings({});
        CBioMorph morph;
        reading.genome->ApplyTo(morph);
        ExerciseMorph(morph, {});
    }
    return 0;
}
