#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

// Raised when a read would run past the end of the data.
class CArchiveException : public std::runtime_error {
public:
    CArchiveException() : std::runtime_error("Unexpected file format.") {}
};

// A little-endian byte stream, either storing into a growing buffer or loading from a span
// of bytes. Loading never reads past the end: a short read throws CArchiveException and
// leaves the position where it was.
class CArchive {
public:
    // Storing.
    CArchive() = default;
    // Loading; the bytes must outlive the archive.
    CArchive(const uint8_t* data, size_t size) : m_pData(data), m_nSize(size), m_bStoring(false) {}

    bool IsStoring() const { return m_bStoring; }
    bool IsLoading() const { return !m_bStoring; }

    void WriteByte(uint8_t v) { m_buffer.push_back(v); }
    void WriteUInt16(uint16_t v);
    void WriteUInt32(uint32_t v);
    void WriteInt32(int32_t v) { WriteUInt32(static_cast<uint32_t>(v)); }
    void WriteBytes(const void* data, size_t size);
    // The length-prefixed string encoding of .bio files, 8-bit characters.
    void WriteString(const std::string& s);

    uint8_t ReadByte();
    uint16_t ReadUInt16();
    uint32_t ReadUInt32();
    int32_t ReadInt32() { return static_cast<int32_t>(ReadUInt32()); }
    // Reads a length-prefixed string in any encoding the writer can produce, including the
    // 16-bit character form, which is narrowed to 8 bits. A length larger than the bytes left
    // throws before anything is allocated.
    std::string ReadString();

    size_t Position() const { return m_nPos; }
    size_t Remaining() const { return m_nSize - m_nPos; }
    const std::vector<uint8_t>& Buffer() const { return m_buffer; }
    std::vector<uint8_t> TakeBuffer() { return std::move(m_buffer); }

private:
    void Need(size_t n) const;
    uint32_t ReadStringLength();

    std::vector<uint8_t> m_buffer;
    const uint8_t* m_pData = nullptr;
    size_t m_nSize = 0;
    size_t m_nPos = 0;
    bool m_bStoring = true;
};
