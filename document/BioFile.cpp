#include "document/BioFile.h"

#include "model/Archive.h"
#include "model/BioMorph.h"

std::string BioLoadMessage(EBioLoad outcome) {
    switch (outcome) {
        case EBioLoad::WrongSignature:
            return "Incorrect file type!";
        case EBioLoad::WrongVersion:
            return std::string("This file is not compatible with\nQuorvale version ") +
                   kProgramVersion + "\n(it reads files of version " + std::to_string(kBioVersion) +
                   ")";
        case EBioLoad::Truncated:
            return "The file is cut short: it ends before the whole creature is read.";
        case EBioLoad::Ok:
        case EBioLoad::Empty:
            break;
    }
    return {};
}

void WriteBioHeader(CArchive& ar, const std::string& signature, int32_t version) {
    ar.WriteString(signature);
    ar.WriteInt32(version);
}

void ReadBioHeader(CArchive& ar, std::string& signature, int32_t& version) {
    signature = ar.ReadString();
    version = ar.ReadInt32();
}

EBioLoad CheckBioHeader(const std::string& signature, int32_t version) {
    if (signature != kBioSignature) {
        return EBioLoad::WrongSignature;
    }
    if (version != kBioVersion) {
        return EBioLoad::WrongVersion;
    }
    return EBioLoad::Ok;
}

std::vector<uint8_t> EncodeBioFile(CBioMorph& morph) {
    CArchive ar;
    WriteBioHeader(ar, kBioSignature, kBioVersion);
    morph.Serialize(ar);
    return ar.TakeBuffer();
}

EBioLoad DecodeBioFile(const uint8_t* data, size_t size, CBioMorph& morph) {
    if (size == 0) {
        return EBioLoad::Empty;
    }
    CArchive ar(data, size);
    try {
        std::string signature;
        int32_t version = 0;
        ReadBioHeader(ar, signature, version);
        const EBioLoad check = CheckBioHeader(signature, version);
        if (check != EBioLoad::Ok) {
            return check;
        }
        morph.Serialize(ar);
    } catch (const CArchiveException&) {
        return EBioLoad::Truncated;
    }
    return EBioLoad::Ok;
}

EBioLoad LoadMorphFromFile(const uint8_t* data, size_t size, CBioMorph& morph) {
    CBioMorph copy;
    GeneArray gradients{};
    morph.GetGradients(gradients);
    copy.SetGenes(morph.GetGenes());
    copy.SetGradients(gradients);
    const EBioLoad outcome = DecodeBioFile(data, size, copy);
    if (outcome == EBioLoad::Ok) {
        copy.GetGradients(gradients);
        morph.SetGenes(copy.GetGenes());
        morph.SetGradients(gradients);
    }
    return outcome;
}
