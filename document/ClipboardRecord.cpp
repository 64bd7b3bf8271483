#include "document/ClipboardRecord.h"

#include "model/Archive.h"
#include "model/BioMorph.h"

std::vector<uint8_t> EncodeClipboardBlock(CBioMorph& morph) {
    CArchive ar;
    morph.Serialize(ar);
    std::vector<uint8_t> block = ar.TakeBuffer();
    block.resize(kClipboardBlockSize, 0);
    return block;
}

bool DecodeClipboardBlock(const uint8_t* data, size_t size, CBioMorph& morph) {
    if (data == nullptr || !IsClipboardBlockSize(size)) {
        return false;
    }
    CArchive ar(data, size);
    morph.Serialize(ar);
    return true;
}
