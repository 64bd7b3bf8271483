// Fuzz target: the bytes are the private clipboard block, which anything on the machine may
// have put there under the same format name. A block too short for the record, or longer than
// the program's own block, must be refused and leave the morph alone; any other must be read,
// must write back the same record, and the morph must then measure and draw.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "MorphExercise.h"
#include "document/ClipboardRecord.h"
#include "model/BioMorph.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const SExerciseSettings settings = ReadExerciseSettings(data, size, kMorphRecordSize);
    ApplyExerciseSettings(settings);

    CBioMorph morph;
    const CBioMorph pristine;
    morph.m_bLaidOut = 1;  // a stale layout that pasting a new genome must discard
    const bool bRead = DecodeClipboardBlock(data, size, morph);
    FuzzCheck(bRead == (size >= kMorphRecordSize && size <= kClipboardBlockSize),
              "a block was refused though it holds a record, or read though it does not");
    if (!bRead) {
        FuzzCheck(SameGenome(morph, pristine), "a refused block changed the morph");
        return 0;
    }
    FuzzCheck(morph.m_bLaidOut == 0, "a pasted morph kept its old layout");

    const std::vector<uint8_t> block = EncodeClipboardBlock(morph);
    FuzzCheck(block.size() == kClipboardBlockSize, "a written block is not 4096 bytes");
    FuzzCheck(std::equal(block.begin(), block.begin() + kMorphRecordSize, data),
              "the record written back differs from the record read");
    FuzzCheck(std::all_of(block.begin() + kMorphRecordSize, block.end(),
                          [](uint8_t b) { return b == 0; }),
              "a written block is not zero after the record");

    ExerciseMorph(morph, settings);
    return 0;
}
