#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class CArchive;
class CBioMorph;

inline constexpr const char* kBioSignature = "Quorvale Keldor Ltd";
inline constexpr int32_t kBioVersion = 1;
// The program's version as the About box and the tools show it; the version message names it
// too, so that the user sees one version everywhere.
#ifndef QUORVALE_VERSION
#error "QUORVALE_VERSION comes from the build (the top CMakeLists.txt)"
#endif
inline constexpr const char* kProgramVersion = QUORVALE_VERSION;
inline constexpr size_t kBioFileSize = 164;

enum class EBioLoad {
    Ok,
    Empty,           // nothing to read: the document is left as it was
    WrongSignature,  // "Incorrect file type!"
    WrongVersion,    // the version message
    Truncated,       // the data ends before the record does
};

// The message the program shows for an outcome; empty for Ok and Empty.
std::string BioLoadMessage(EBioLoad outcome);

// The signature and version at the head of a .bio file.
void WriteBioHeader(CArchive& ar, const std::string& signature, int32_t version);
// Reads them; throws CArchiveException if the data ends first.
void ReadBioHeader(CArchive& ar, std::string& signature, int32_t& version);
EBioLoad CheckBioHeader(const std::string& signature, int32_t version);

// The whole 164-byte file of a morph.
std::vector<uint8_t> EncodeBioFile(CBioMorph& morph);
// Reads a whole file into the morph. The morph is untouched unless the header is right; a
// record cut short leaves the fields read so far (the document resets itself then).
EBioLoad DecodeBioFile(const uint8_t* data, size_t size, CBioMorph& morph);
// Reads a whole file into a morph only if all of it is good: a rejected or cut-short file
// leaves the morph exactly as it was (used for the triangle's corners).
EBioLoad LoadMorphFromFile(const uint8_t* data, size_t size, CBioMorph& morph);
