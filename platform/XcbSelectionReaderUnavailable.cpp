// Built where the X11 client library is not at hand: the reader never opens, and the
// clipboard is read through Qt alone.
#include "platform/XcbSelectionReader.h"

struct CXcbSelectionReader::SConnection {};

CXcbSelectionReader::CXcbSelectionReader(const std::string& /*display*/, const std::string& format,
                                         size_t maxBytes, std::chrono::milliseconds timeout,
                                         FAnswered answered)
    : m_strFormat(format),
      m_nMaxBytes(maxBytes),
      m_timeout(timeout),
      m_answered(std::move(answered)) {}

CXcbSelectionReader::~CXcbSelectionReader() = default;

void CXcbSelectionReader::Ask(uint64_t /*request*/) {}

std::optional<SSelectionAnswer> CXcbSelectionReader::Wait(uint64_t /*request*/,
                                                          std::chrono::milliseconds /*time*/) {
    return std::nullopt;
}
