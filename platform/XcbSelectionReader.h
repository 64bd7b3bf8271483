#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

// What the owner of an X11 selection answered for one format.
struct SSelectionAnswer {
    enum class EKind {
        Nothing,   // no owner, or the format is not among what it offers
        NoAnswer,  // the owner did not answer in time (stopped, hung or gone)
        Data,      // the data, in data
        TooLarge,  // offered but larger than the reader takes: not read, nSize says how large
    };
    EKind kind = EKind::Nothing;
    std::vector<uint8_t> data;
    // The data's size when known: exact for Data, at least this for TooLarge.
    int64_t nSize = 0;
};

// Reads the CLIPBOARD selection of an X11 display on a thread of its own, over a connection of
// its own, so that no owner, however slow or stopped, holds up the caller. Qt's clipboard asks
// the owner on the thread that calls it and waits up to five seconds for each answer; here the
// waiting happens away from the window, with a timeout of the reader's choosing.
//
// Each question asks the owner for its list of formats (TARGETS) and, when the format is
// there, for its data; data larger than the limit is refused from its announced size, before
// it is transferred. A question uses a window of its own, destroyed when it is done, so an
// owner that answers after the timeout writes to nothing of ours.
class CXcbSelectionReader {
public:
    using FAnswered = std::function<void(uint64_t request, const SSelectionAnswer& answer)>;

    // display: an X display name (empty: $DISPLAY). answered is called on the reader's thread
    // with each answer and the number of the request it answers.
    CXcbSelectionReader(const std::string& display, const std::string& format, size_t maxBytes,
                        std::chrono::milliseconds timeout, FAnswered answered);
    ~CXcbSelectionReader();
    CXcbSelectionReader(const CXcbSelectionReader&) = delete;
    CXcbSelectionReader& operator=(const CXcbSelectionReader&) = delete;

    // False when the display could not be reached; nothing is then ever answered.
    bool IsOpen() const { return m_pConnection != nullptr; }
    // Asks the owner, in the background. A request asked while another is still waiting to
    // start takes its place: only the latest is answered.
    void Ask(uint64_t request);
    // The answer to the request, waiting for it at most the time; none if it has not come.
    std::optional<SSelectionAnswer> Wait(uint64_t request, std::chrono::milliseconds time);

private:
    struct SConnection;
    void Run();
    SSelectionAnswer Fetch();

    std::unique_ptr<SConnection> m_pConnection;
    std::string m_strFormat;
    size_t m_nMaxBytes;
    std::chrono::milliseconds m_timeout;
    FAnswered m_answered;

    std::mutex m_mutex;
    std::condition_variable m_changed;
    uint64_t m_nAsked = 0;
    uint64_t m_nAnswered = 0;
    SSelectionAnswer m_lastAnswer;
    std::atomic<bool> m_bStop{false};
    std::thread m_thread;
};
