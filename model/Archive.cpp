#include "model/Archive.h"

void CArchive::WriteUInt16(uint16_t v) {
    WriteByte(static_cast<uint8_t>(v & 0xFF));
    WriteByte(static_cast<uint8_t>(v >> 8));
}

void CArchive::WriteUInt32(uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        WriteByte(static_cast<uint8_t>((v >> (8 * i)) & 0xFF));
    }
}

void CArchive::WriteBytes(const void* data, size_t size) {
    const auto* p = static_cast<const uint8_t*>(data);
    m_buffer.insert(m_buffer.end(), p, p + size);
}

void CArchive::WriteString(const std::string& s) {
    const size_t n = s.size();
    if (n < 255) {
        WriteByte(static_cast<uint8_t>(n));
    } else if (n < 0xFFFE) {
        WriteByte(0xFF);
        WriteUInt16(static_cast<uint16_t>(n));
    } else {
        WriteByte(0xFF);
        WriteUInt16(0xFFFF);
        WriteUInt32(static_cast<uint32_t>(n));
    }
    WriteBytes(s.data(), n);
}

void CArchive::Need(size_t n) const {
    if (n > m_nSize - m_nPos) {
        throw CArchiveException();
    }
}

uint8_t CArchive::ReadByte() {
    Need(1);
    return m_pData[m_nPos++];
}

uint16_t CArchive::ReadUInt16() {
    Need(2);
    uint16_t v = static_cast<uint16_t>(m_pData[m_nPos] | (m_pData[m_nPos + 1] << 8));
    m_nPos += 2;
    return v;
}

uint32_t CArchive::ReadUInt32() {
    Need(4);
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) {
        v = (v << 8) | m_pData[m_nPos + static_cast<size_t>(i)];
    }
    m_nPos += 4;
    return v;
}

uint32_t CArchive::ReadStringLength() {
    uint8_t b = ReadByte();
    if (b < 0xFF) {
        return b;
    }
    uint16_t w = ReadUInt16();
    if (w < 0xFFFF) {
        return w;  // 0xFFFE is the 16-bit marker; the caller checks it first
    }
    return ReadUInt32();
}

std::string CArchive::ReadString() {
    // Like every other read, a string that cannot be read leaves the archive where it began,
    // before its marker and length.
    const size_t start = m_nPos;
    // A 16-bit character string announces itself with 0xFF 0xFFFE before its length.
    bool bWide = false;
    if (m_nSize - m_nPos >= 3 && m_pData[m_nPos] == 0xFF && m_pData[m_nPos + 1] == 0xFE &&
        m_pData[m_nPos + 2] == 0xFF) {
        m_nPos += 3;
        bWide = true;
    }
    uint32_t length = 0;
    try {
        length = ReadStringLength();
    } catch (const CArchiveException&) {
        m_nPos = start;
        throw;
    }
    if (bWide && length == 0xFFFE) {
        // A marker where a length belongs is no string the writer makes.
        m_nPos = start;
        throw CArchiveException();
    }
    const uint64_t bytes = static_cast<uint64_t>(length) * (bWide ? 2 : 1);
    if (bytes > Remaining()) {
        m_nPos = start;
        throw CArchiveException();
    }
    std::string s;
    s.reserve(length);
    for (uint32_t i = 0; i < length; ++i) {
        if (bWide) {
            uint16_t c = ReadUInt16();
            // Only ASCII survives narrowing unchanged; anything else must not pass for a
            // letter of the signature, so it becomes '?' as a code-page conversion would.
            s.push_back(c < 0x80 ? static_cast<char>(c) : '?');
        } else {
            s.push_back(static_cast<char>(ReadByte()));
        }
    }
    return s;
}
