#include "document/PictureCode.h"

#include <array>
#include <cstring>

namespace {

constexpr uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr size_t kChunkOverhead = 12;  // length, type and CRC

uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc = 0) {
    static const std::array<uint32_t, 256> kTable = [] {
        std::array<uint32_t, 256> table{};
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k) {
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            }
            table[n] = c;
        }
        return table;
    }();
    crc = ~crc;
    for (size_t i = 0; i < size; ++i) {
        crc = kTable[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    }
    return ~crc;
}

uint32_t ReadBigEndian(const uint8_t* p) {
    return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | uint32_t{p[3]};
}

void AppendBigEndian(std::vector<uint8_t>& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<uint8_t>(v >> shift));
    }
}

bool HasPngSignature(const uint8_t* data, size_t size) {
    return size >= sizeof kPngSignature &&
           std::memcmp(data, kPngSignature, sizeof kPngSignature) == 0;
}

bool IsPrintableAscii(std::string_view text) {
    for (char c : text) {
        if (c < 0x20 || c > 0x7E) {
            return false;
        }
    }
    return true;
}

// The text of a tEXt or uncompressed iTXt chunk whose keyword is ours.
std::optional<std::string> CodeOfTextChunk(const uint8_t* data, size_t size, bool bInternational) {
    const std::string_view chunk(reinterpret_cast<const char*>(data), size);
    const size_t keywordEnd = chunk.find('\0');
    if (keywordEnd == std::string_view::npos ||
        chunk.substr(0, keywordEnd) != kPictureCodeKeyword) {
        return std::nullopt;
    }
    std::string_view text = chunk.substr(keywordEnd + 1);
    if (bInternational) {
        // Compression flag and method, then the language tag and the translated keyword,
        // each ended by a zero byte.
        if (text.size() < 2 || text[0] != 0) {
            return std::nullopt;
        }
        text = text.substr(2);
        for (int field = 0; field < 2; ++field) {
            const size_t end = text.find('\0');
            if (end == std::string_view::npos) {
                return std::nullopt;
            }
            text = text.substr(end + 1);
        }
    }
    if (text.size() > kMaxStoredCodeLength) {
        return std::nullopt;
    }
    return std::string(text);
}

std::string EscapedXml(std::string_view text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string UnescapedXml(std::string_view text) {
    static const struct {
        std::string_view entity;
        char c;
    } kEntities[] = {
        {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
    std::string out;
    for (size_t i = 0; i < text.size();) {
        bool bEntity = false;
        for (const auto& e : kEntities) {
            if (text.substr(i, e.entity.size()) == e.entity) {
                out += e.c;
                i += e.entity.size();
                bEntity = true;
                break;
            }
        }
        if (!bEntity) {
            out += text[i++];
        }
    }
    return out;
}

std::string_view Trimmed(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

bool IsNameEnd(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '>' || c == '/';
}

// The code element's text within one <metadata> element's content, whatever prefix its
// namespace was given.
std::optional<std::string> CodeInMetadata(std::string_view content) {
    const std::string_view local = "creature-code";
    for (size_t lt = content.find('<'); lt != std::string_view::npos;
         lt = content.find('<', lt + 1)) {
        size_t nameEnd = lt + 1;
        while (nameEnd < content.size() && !IsNameEnd(content[nameEnd])) {
            ++nameEnd;
        }
        const std::string_view name = content.substr(lt + 1, nameEnd - lt - 1);
        const size_t colon = name.rfind(':');
        if ((colon == std::string_view::npos ? name : name.substr(colon + 1)) != local) {
            continue;
        }
        const size_t tagEnd = content.find('>', nameEnd);
        if (tagEnd == std::string_view::npos || content[tagEnd - 1] == '/') {
            continue;
        }
        const size_t textEnd = content.find('<', tagEnd + 1);
        if (textEnd == std::string_view::npos) {
            return std::nullopt;
        }
        const std::string_view text = Trimmed(content.substr(tagEnd + 1, textEnd - tagEnd - 1));
        if (text.size() > kMaxStoredCodeLength) {
            return std::nullopt;
        }
        return UnescapedXml(text);
    }
    return std::nullopt;
}

}  // namespace

bool AddCodeToPng(std::vector<uint8_t>& png, std::string_view code) {
    if (code.empty() || code.size() > kMaxStoredCodeLength || !IsPrintableAscii(code)) {
        return false;
    }
    if (!HasPngSignature(png.data(), png.size()) ||
        png.size() < sizeof kPngSignature + kChunkOverhead ||
        std::memcmp(png.data() + sizeof kPngSignature + 4, "IHDR", 4) != 0) {
        return false;
    }
    const uint32_t headerLength = ReadBigEndian(png.data() + sizeof kPngSignature);
    if (headerLength > png.size() - sizeof kPngSignature - kChunkOverhead) {
        return false;
    }
    const size_t at = sizeof kPngSignature + kChunkOverhead + headerLength;

    std::vector<uint8_t> chunk;
    const std::string_view keyword = kPictureCodeKeyword;
    AppendBigEndian(chunk, static_cast<uint32_t>(keyword.size() + 1 + code.size()));
    for (char c : std::string_view("tEXt")) {
        chunk.push_back(static_cast<uint8_t>(c));
    }
    chunk.insert(chunk.end(), keyword.begin(), keyword.end());
    chunk.push_back(0);
    chunk.insert(chunk.end(), code.begin(), code.end());
    AppendBigEndian(chunk, Crc32(chunk.data() + 4, chunk.size() - 4));
    png.insert(png.begin() + static_cast<std::ptrdiff_t>(at), chunk.begin(), chunk.end());
    return true;
}

std::optional<std::string> FindCodeInPng(const uint8_t* data, size_t size) {
    if (data == nullptr || !HasPngSignature(data, size)) {
        return std::nullopt;
    }
    size_t pos = sizeof kPngSignature;
    while (size - pos >= kChunkOverhead) {
        const uint32_t length = ReadBigEndian(data + pos);
        if (length > size - pos - kChunkOverhead) {
            break;
        }
        const uint8_t* type = data + pos + 4;
        const uint8_t* body = type + 4;
        if (std::memcmp(type, "IEND", 4) == 0) {
            break;
        }
        const bool bText = std::memcmp(type, "tEXt", 4) == 0;
        const bool bInternational = std::memcmp(type, "iTXt", 4) == 0;
        if ((bText || bInternational) &&
            Crc32(type, 4 + size_t{length}) == ReadBigEndian(body + length)) {
            if (auto code = CodeOfTextChunk(body, length, bInternational)) {
                return code;
            }
        }
        pos += kChunkOverhead + length;
    }
    return std::nullopt;
}

std::string SvgCodeMetadata(std::string_view code) {
    return std::string("<metadata><") + kSvgCodeElement + " xmlns:quorvale=\"" + kSvgCodeNamespace +
           "\">" + EscapedXml(code) + "</" + kSvgCodeElement + "></metadata>\n";
}

std::optional<std::string> FindCodeInSvg(std::string_view svg) {
    const std::string_view open = "<metadata";
    const std::string_view close = "</metadata";
    for (size_t start = svg.find(open); start != std::string_view::npos;
         start = svg.find(open, start + 1)) {
        const size_t nameEnd = start + open.size();
        if (nameEnd >= svg.size() || !IsNameEnd(svg[nameEnd])) {
            continue;
        }
        const size_t tagEnd = svg.find('>', nameEnd);
        if (tagEnd == std::string_view::npos) {
            break;
        }
        if (svg[tagEnd - 1] == '/') {
            continue;
        }
        const size_t end = svg.find(close, tagEnd);
        if (end == std::string_view::npos) {
            break;
        }
        if (auto code = CodeInMetadata(svg.substr(tagEnd + 1, end - tagEnd - 1))) {
            return code;
        }
        start = end;
    }
    return std::nullopt;
}
