// Fuzz target: the bytes are a .bio file. Whatever they hold, reading must end in one of the
// outcomes the document knows, a refused file must leave the morph alone, an accepted one
// must write back the record it was read from, and the morph must then measure and draw.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "MorphExercise.h"
#include "document/BioFile.h"
#include "model/Archive.h"
#include "model/BioMorph.h"

namespace {

// Where the record starts in a file whose header was accepted: the signature may come in
// any of the string encodings, so its length is only known by reading it again.
size_t RecordOffset(const uint8_t* data, size_t size) {
    CArchive ar(data, size);
    ar.ReadString();
    ar.ReadInt32();
    return ar.Position();
}

void CheckRoundTrip(const uint8_t* data, size_t size, CBioMorph& morph) {
    const std::vector<uint8_t> file = EncodeBioFile(morph);
    FuzzCheck(file.size() == kBioFileSize, "a written file is not 164 bytes");
    const size_t headerSize = kBioFileSize - 140;
    const size_t start = RecordOffset(data, size);
    FuzzCheck(size - start >= 140, "a file was accepted without a whole record");
    FuzzCheck(std::equal(file.begin() + headerSize, file.end(), data + start),
              "the record written back differs from the record read");

    CBioMorph reread;
    FuzzCheck(DecodeBioFile(file.data(), file.size(), reread) == EBioLoad::Ok,
              "a written file does not read back");
    FuzzCheck(SameGenome(reread, morph), "a written file reads back as another genome");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const SExerciseSettings settings = ReadExerciseSettings(data, size, kBioFileSize);
    ApplyExerciseSettings(settings);

    CBioMorph morph;
    const CBioMorph pristine;
    morph.m_bLaidOut = 1;  // a stale layout that reading a new genome must discard
    const EBioLoad outcome = DecodeBioFile(data, size, morph);
    switch (outcome) {
        case EBioLoad::Ok:
            break;
        case EBioLoad::Empty:
        case EBioLoad::WrongSignature:
        case EBioLoad::WrongVersion:
            FuzzCheck(SameGenome(morph, pristine), "a refused file changed the morph");
            return 0;
        case EBioLoad::Truncated:
            // The document resets itself after a file cut short; what was read is dropped.
            return 0;
    }
    FuzzCheck(size > 0, "an empty file was accepted");
    FuzzCheck(morph.m_bLaidOut == 0, "a read morph kept its old layout");
    CheckRoundTrip(data, size, morph);
    ExerciseMorph(morph, settings);
    return 0;
}
