#include "platform/XcbSelectionReader.h"

#include <poll.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

using FClock = std::chrono::steady_clock;

// How often a wait looks up from the socket to see whether the reader is being closed.
constexpr int kStopCheckMs = 50;

xcb_atom_t InternAtom(xcb_connection_t* c, const std::string& name) {
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, static_cast<uint16_t>(name.size()), name.c_str()), nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    return atom;
}

struct SFreeReply {
    void operator()(void* p) const { std::free(p); }
};
using CEvent = std::unique_ptr<xcb_generic_event_t, SFreeReply>;
using CPropertyReply = std::unique_ptr<xcb_get_property_reply_t, SFreeReply>;

}  // namespace

struct CXcbSelectionReader::SConnection {
    xcb_connection_t* pConnection = nullptr;
    xcb_window_t root = XCB_WINDOW_NONE;
    xcb_atom_t clipboard = XCB_ATOM_NONE;
    xcb_atom_t targets = XCB_ATOM_NONE;
    xcb_atom_t incr = XCB_ATOM_NONE;
    xcb_atom_t format = XCB_ATOM_NONE;
    xcb_atom_t property = XCB_ATOM_NONE;

    ~SConnection() {
        if (pConnection) {
            xcb_disconnect(pConnection);
        }
    }
};

namespace {

// One question's window and the waits on it; the window goes when the question is done.
class CQuestion {
public:
    CQuestion(xcb_connection_t* c, xcb_window_t root, const std::atomic<bool>& bStop)
        : m_pConnection(c), m_bStop(bStop) {
        m_window = xcb_generate_id(c);
        const uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_create_window(c, XCB_COPY_FROM_PARENT, m_window, root, 0, 0, 1, 1, 0,
                          XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK,
                          &events);
        xcb_flush(c);
    }
    ~CQuestion() {
        xcb_destroy_window(m_pConnection, m_window);
        xcb_flush(m_pConnection);
    }
    CQuestion(const CQuestion&) = delete;
    CQuestion& operator=(const CQuestion&) = delete;

    xcb_window_t Window() const { return m_window; }

    // The next event that the test accepts, by the deadline; events for anything else are
    // dropped (they can only concern windows of earlier questions).
    template <typename FAccept>
    CEvent WaitFor(FClock::time_point deadline, FAccept&& accept) {
        for (;;) {
            while (xcb_generic_event_t* raw = xcb_poll_for_event(m_pConnection)) {
                CEvent event(raw);
                if (accept(event.get())) {
                    return event;
                }
            }
            if (xcb_connection_has_error(m_pConnection)) {
                return nullptr;
            }
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - FClock::now());
            if (left.count() <= 0 || m_bStop) {
                return nullptr;
            }
            pollfd fd{xcb_get_file_descriptor(m_pConnection), POLLIN, 0};
            poll(&fd, 1, static_cast<int>(std::min<int64_t>(left.count(), kStopCheckMs)));
        }
    }

    // Asks the owner to convert the selection to the target into our property; true when it
    // did, false when it refused or did not answer by the deadline (bAnswered tells which).
    bool Convert(xcb_atom_t selection, xcb_atom_t target, xcb_atom_t property,
                 FClock::time_point deadline, bool& bAnswered) {
        xcb_convert_selection(m_pConnection, m_window, selection, target, property,
                              XCB_CURRENT_TIME);
        xcb_flush(m_pConnection);
        CEvent event = WaitFor(deadline, [&](xcb_generic_event_t* e) {
            if ((e->response_type & 0x7f) != XCB_SELECTION_NOTIFY) {
                return false;
            }
            const auto* n = reinterpret_cast<const xcb_selection_notify_event_t*>(e);
            return n->requestor == m_window && n->selection == selection && n->target == target;
        });
        bAnswered = event != nullptr;
        if (!event) {
            return false;
        }
        return reinterpret_cast<const xcb_selection_notify_event_t*>(event.get())->property !=
               XCB_ATOM_NONE;
    }

    // The property's first units (of 32 bits), deleting it when asked to.
    CPropertyReply Property(xcb_atom_t property, uint32_t units, bool bDelete) {
        return CPropertyReply(
            xcb_get_property_reply(m_pConnection,
                                   xcb_get_property(m_pConnection, bDelete ? 1 : 0, m_window,
                                                    property, XCB_GET_PROPERTY_TYPE_ANY, 0, units),
                                   nullptr));
    }

    // Waits for a new value of the property (an incremental transfer's next part).
    bool WaitForNewValue(xcb_atom_t property, FClock::time_point deadline) {
        return WaitFor(deadline, [&](xcb_generic_event_t* e) {
                   if ((e->response_type & 0x7f) != XCB_PROPERTY_NOTIFY) {
                       return false;
                   }
                   const auto* n = reinterpret_cast<const xcb_property_notify_event_t*>(e);
                   return n->window == m_window && n->atom == property &&
                          n->state == XCB_PROPERTY_NEW_VALUE;
               }) != nullptr;
    }

private:
    xcb_connection_t* m_pConnection;
    const std::atomic<bool>& m_bStop;
    xcb_window_t m_window;
};

size_t ValueBytes(const xcb_get_property_reply_t* reply) {
    return static_cast<size_t>(xcb_get_property_value_length(reply));
}

}  // namespace

CXcbSelectionReader::CXcbSelectionReader(const std::string& display, const std::string& format,
                                         size_t maxBytes, std::chrono::milliseconds timeout,
                                         FAnswered answered)
    : m_strFormat(format),
      m_nMaxBytes(maxBytes),
      m_timeout(timeout),
      m_answered(std::move(answered)) {
    auto connection = std::make_unique<SConnection>();
    connection->pConnection = xcb_connect(display.empty() ? nullptr : display.c_str(), nullptr);
    if (!connection->pConnection || xcb_connection_has_error(connection->pConnection)) {
        return;
    }
    xcb_connection_t* c = connection->pConnection;
    const xcb_setup_t* setup = xcb_get_setup(c);
    const xcb_screen_iterator_t screen = xcb_setup_roots_iterator(setup);
    if (!screen.rem) {
        return;
    }
    connection->root = screen.data->root;
    connection->clipboard = InternAtom(c, "CLIPBOARD");
    connection->targets = InternAtom(c, "TARGETS");
    connection->incr = InternAtom(c, "INCR");
    connection->format = InternAtom(c, format);
    connection->property = InternAtom(c, "QUORVALE_SELECTION");
    if (connection->clipboard == XCB_ATOM_NONE || connection->format == XCB_ATOM_NONE ||
        connection->property == XCB_ATOM_NONE) {
        return;
    }
    m_pConnection = std::move(connection);
    m_thread = std::thread([this] { Run(); });
}

CXcbSelectionReader::~CXcbSelectionReader() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bStop = true;
    }
    m_changed.notify_all();
    if (m_thread.joinable()) {
        m_thread.join();
    }
}

void CXcbSelectionReader::Ask(uint64_t request) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_nAsked = std::max(m_nAsked, request);
    }
    m_changed.notify_all();
}

std::optional<SSelectionAnswer> CXcbSelectionReader::Wait(uint64_t request,
                                                          std::chrono::milliseconds time) {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait_for(lock, time, [&] { return m_nAnswered >= request || m_bStop; });
    if (m_nAnswered != request) {
        return std::nullopt;
    }
    return m_lastAnswer;
}

void CXcbSelectionReader::Run() {
    for (;;) {
        uint64_t request = 0;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_changed.wait(lock, [&] { return m_bStop || m_nAsked > m_nAnswered; });
            if (m_bStop) {
                return;
            }
            request = m_nAsked;
        }
        SSelectionAnswer answer = Fetch();
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_bStop) {
                return;
            }
            m_nAnswered = request;
            m_lastAnswer = answer;
        }
        m_changed.notify_all();
        if (m_answered) {
            m_answered(request, answer);
        }
    }
}

SSelectionAnswer CXcbSelectionReader::Fetch() {
    const SConnection& x = *m_pConnection;
    xcb_connection_t* c = x.pConnection;
    SSelectionAnswer answer;
    // The server answers this itself, at once: whether anyone owns the clipboard.
    xcb_get_selection_owner_reply_t* owner =
        xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, x.clipboard), nullptr);
    const bool bOwned = owner && owner->owner != XCB_WINDOW_NONE;
    std::free(owner);
    if (!bOwned) {
        return answer;
    }
    CQuestion question(c, x.root, m_bStop);
    // Each answer of the owner within the timeout, counted from the question.
    const FClock::time_point deadline = FClock::now() + m_timeout;
    bool bAnswered = false;
    answer.kind = SSelectionAnswer::EKind::NoAnswer;

    // The formats it offers: a list of atoms.
    if (!question.Convert(x.clipboard, x.targets, x.property, deadline, bAnswered)) {
        if (bAnswered) {
            answer.kind = SSelectionAnswer::EKind::Nothing;
        }
        return answer;
    }
    constexpr uint32_t kMaxTargets = 1024;
    const CPropertyReply list = question.Property(x.property, kMaxTargets, true);
    bool bOffered = false;
    if (list && list->format == 32) {
        const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(list.get()));
        const size_t n = ValueBytes(list.get()) / sizeof(xcb_atom_t);
        bOffered = std::find(atoms, atoms + n, x.format) != atoms + n;
    }
    if (!bOffered) {
        answer.kind = SSelectionAnswer::EKind::Nothing;
        return answer;
    }

    // The data, read no further than the limit and a little: more than that is refused.
    if (!question.Convert(x.clipboard, x.format, x.property, deadline, bAnswered)) {
        if (bAnswered) {
            answer.kind = SSelectionAnswer::EKind::Nothing;
        }
        return answer;
    }
    const uint32_t units = static_cast<uint32_t>(m_nMaxBytes / 4 + 1);
    const CPropertyReply head = question.Property(x.property, units, false);
    if (!head) {
        return answer;
    }
    if (head->type == x.incr) {
        // Sent in parts; the property holds a lower bound of the size.
        int64_t announced = 0;
        if (ValueBytes(head.get()) >= 4) {
            uint32_t bound = 0;
            std::memcpy(&bound, xcb_get_property_value(head.get()), 4);
            announced = bound;
        }
        if (announced > static_cast<int64_t>(m_nMaxBytes)) {
            // Not begun: the owner sends nothing until the property is deleted, and the
            // window that holds it goes with the question.
            answer.kind = SSelectionAnswer::EKind::TooLarge;
            answer.nSize = announced;
            return answer;
        }
        // Deleting the property asks for each part; an empty part ends the transfer.
        xcb_delete_property(c, question.Window(), x.property);
        xcb_flush(c);
        std::vector<uint8_t> data;
        for (;;) {
            if (!question.WaitForNewValue(x.property, deadline)) {
                return answer;
            }
            const CPropertyReply part = question.Property(x.property, units, true);
            if (!part) {
                return answer;
            }
            const size_t bytes = ValueBytes(part.get());
            if (bytes == 0) {
                break;
            }
            const auto* value = static_cast<const uint8_t*>(xcb_get_property_value(part.get()));
            data.insert(data.end(), value, value + bytes);
            if (data.size() > m_nMaxBytes || part->bytes_after > 0) {
                answer.kind = SSelectionAnswer::EKind::TooLarge;
                answer.nSize = static_cast<int64_t>(data.size()) + part->bytes_after;
                return answer;
            }
        }
        answer.kind = SSelectionAnswer::EKind::Data;
        answer.nSize = static_cast<int64_t>(data.size());
        answer.data = std::move(data);
        return answer;
    }
    const size_t bytes = ValueBytes(head.get());
    const int64_t size = static_cast<int64_t>(bytes) + head->bytes_after;
    if (size > static_cast<int64_t>(m_nMaxBytes)) {
        answer.kind = SSelectionAnswer::EKind::TooLarge;
        answer.nSize = size;
        return answer;
    }
    const auto* value = static_cast<const uint8_t*>(xcb_get_property_value(head.get()));
    answer.kind = SSelectionAnswer::EKind::Data;
    answer.nSize = size;
    answer.data.assign(value, value + bytes);
    xcb_delete_property(c, question.Window(), x.property);
    xcb_flush(c);
    return answer;
}
