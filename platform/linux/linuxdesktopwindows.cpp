#include "linuxdesktopwindows.h"

#include <xcb/xcb.h>
#include <xcb/xcbext.h>

#include <poll.h>

#include <algorithm>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

namespace vantel::platform {

using Clock = std::chrono::steady_clock;

namespace {

struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};
template <class Reply>
using Owned = std::unique_ptr<Reply, FreeReply>;

// The class in WM_CLASS ("instance\0class\0"), the second string.
std::string classOf(const xcb_get_property_reply_t& reply)
{
    const char* text = static_cast<const char*>(xcb_get_property_value(&reply));
    const int length = xcb_get_property_value_length(&reply);
    const char* end = text + length;
    const char* second = std::find(text, end, '\0');
    if (second == end)
        return {};
    ++second;
    return std::string(second, std::find(second, end, '\0'));
}

template <class Item>
std::vector<Item> itemsOf(const xcb_get_property_reply_t* reply)
{
    if (!reply || reply->format != 32)
        return {};
    const auto* items = static_cast<const Item*>(xcb_get_property_value(reply));
    return std::vector<Item>(items, items + xcb_get_property_value_length(reply) / 4);
}

} // namespace

// A connection being opened on a thread of its own, so that a server that
// accepts but never answers holds up no caller beyond its time limit.
struct LinuxDesktopWindows::Opening {
    std::mutex mutex;
    std::condition_variable opened;
    bool done = false;
    bool abandoned = false;
    xcb_connection_t* connection = nullptr;
    int screen = 0;
};

// Replies awaited until one deadline. Once it has passed, or the connection
// broke, every further wait fails at once.
class LinuxDesktopWindows::Requests
{
public:
    Requests(xcb_connection_t* connection, Clock::time_point until)
        : c(connection), deadline(until)
    {
    }

    // The reply to request `sequence`; null when the request failed (a window
    // gone meanwhile) or the server did not answer in time.
    template <class Reply>
    Owned<Reply> reply(unsigned sequence)
    {
        return Owned<Reply>(static_cast<Reply*>(wait(sequence, nullptr)));
    }

    // Whether a request without a reply went through; call it once a later
    // request's reply has arrived.
    bool succeeded(unsigned sequence)
    {
        xcb_generic_error_t* error = nullptr;
        wait(sequence, &error);
        const bool ok = !error && !failed;
        std::free(error);
        return ok;
    }

    // The server did not answer in time, or the connection broke.
    bool lost() const { return failed; }

private:
    void* wait(unsigned sequence, xcb_generic_error_t** failure)
    {
        if (failed)
            return nullptr;
        xcb_flush(c);
        for (;;) {
            void* answer = nullptr;
            xcb_generic_error_t* error = nullptr;
            if (xcb_poll_for_reply(c, sequence, &answer, &error)) {
                if (xcb_connection_has_error(c))
                    failed = true;
                if (failure)
                    *failure = error;
                else
                    std::free(error);
                return answer;
            }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
            if (left <= 0 || xcb_connection_has_error(c)) {
                failed = true;
                return nullptr;
            }
            pollfd readable{xcb_get_file_descriptor(c), POLLIN, 0};
            ::poll(&readable, 1, int(left));
        }
    }

    xcb_connection_t* c;
    Clock::time_point deadline;
    bool failed = false;
};

LinuxDesktopWindows::LinuxDesktopWindows(int limitMs)
    : timeLimitMs(limitMs)
{
}

LinuxDesktopWindows::~LinuxDesktopWindows()
{
    if (opening) {
        std::lock_guard<std::mutex> lock(opening->mutex);
        opening->abandoned = true;
        if (opening->done && opening->connection)
            xcb_disconnect(opening->connection);
    }
    disconnect();
}

bool LinuxDesktopWindows::connect(Clock::time_point deadline)
{
    if (connection && !xcb_connection_has_error(connection))
        return true;
    disconnect();
    if (!opening) {
        const char* display = std::getenv("DISPLAY");
        if (!display || !*display)
            return false;
        opening = std::make_shared<Opening>();
        std::thread([state = opening, name = std::string(display)] {
            int screen = 0;
            xcb_connection_t* opened = xcb_connect(name.c_str(), &screen);
            std::lock_guard<std::mutex> lock(state->mutex);
            if (state->abandoned) {
                xcb_disconnect(opened);
                return;
            }
            state->connection = opened;
            state->screen = screen;
            state->done = true;
            state->opened.notify_all();
        }).detach();
    }
    {
        // Still opening when the time is up: the next call waits for it again.
        std::unique_lock<std::mutex> lock(opening->mutex);
        if (!opening->opened.wait_until(lock, deadline, [this] { return opening->done; }))
            return false;
        connection = opening->connection;
        opening->connection = nullptr;
    }
    const int screenNumber = opening->screen;
    opening.reset();
    if (xcb_connection_has_error(connection)) {
        disconnect();
        return false;
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screenNumber && screens.rem; ++i)
        xcb_screen_next(&screens);
    if (!screens.rem) {
        disconnect();
        return false;
    }
    root = screens.data->root;
    Requests requests(connection, deadline);
    if (!internAtoms(requests)) {
        disconnect();
        return false;
    }
    return true;
}

bool LinuxDesktopWindows::internAtoms(Requests& requests)
{
    const char* const names[] = {"WM_PROTOCOLS", "WM_DELETE_WINDOW", "_NET_CLIENT_LIST"};
    std::uint32_t* const atoms[] = {&wmProtocols, &wmDeleteWindow, &netClientList};
    unsigned cookies[3];
    for (int i = 0; i < 3; ++i)
        cookies[i] = xcb_intern_atom(connection, 0, std::uint16_t(std::strlen(names[i])), names[i]).sequence;
    for (int i = 0; i < 3; ++i) {
        auto reply = requests.reply<xcb_intern_atom_reply_t>(cookies[i]);
        if (!reply)
            return false;
        *atoms[i] = reply->atom;
    }
    return true;
}

void LinuxDesktopWindows::disconnect()
{
    if (connection)
        xcb_disconnect(connection);
    connection = nullptr;
}

WindowHandle LinuxDesktopWindows::findWindow(const std::string& className)
{
    std::lock_guard<std::mutex> lock(mutex);
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeLimitMs);
    if (className.empty() || !connect(deadline))
        return 0;
    Requests requests(connection, deadline);

    const unsigned clientList =
        xcb_get_property(connection, 0, root, netClientList, XCB_ATOM_WINDOW, 0, 65536).sequence;
    const unsigned rootTree = xcb_query_tree(connection, root).sequence;
    std::vector<xcb_window_t> windows = itemsOf<xcb_window_t>(
        requests.reply<xcb_get_property_reply_t>(clientList).get());
    std::vector<xcb_window_t> topLevel;
    if (auto tree = requests.reply<xcb_query_tree_reply_t>(rootTree)) {
        const xcb_window_t* children = xcb_query_tree_children(tree.get());
        topLevel.assign(children, children + xcb_query_tree_children_length(tree.get()));
    }
    std::vector<unsigned> subtrees;
    for (xcb_window_t window : topLevel)
        subtrees.push_back(xcb_query_tree(connection, window).sequence);
    windows.insert(windows.end(), topLevel.begin(), topLevel.end());
    for (unsigned subtree : subtrees) {
        if (auto tree = requests.reply<xcb_query_tree_reply_t>(subtree)) {
            const xcb_window_t* children = xcb_query_tree_children(tree.get());
            windows.insert(windows.end(), children, children + xcb_query_tree_children_length(tree.get()));
        }
    }

    std::vector<std::pair<unsigned, unsigned>> asked; // WM_CLASS, attributes
    asked.reserve(windows.size());
    for (xcb_window_t window : windows) {
        asked.emplace_back(
            xcb_get_property(connection, 0, window, XCB_ATOM_WM_CLASS, XCB_GET_PROPERTY_TYPE_ANY, 0, 256).sequence,
            xcb_get_window_attributes(connection, window).sequence);
    }
    WindowHandle hidden = 0;
    WindowHandle shown = 0;
    for (std::size_t i = 0; i < windows.size(); ++i) {
        auto wmClass = requests.reply<xcb_get_property_reply_t>(asked[i].first);
        auto attributes = requests.reply<xcb_get_window_attributes_reply_t>(asked[i].second);
        if (shown || !wmClass || !attributes || classOf(*wmClass) != className)
            continue; // the remaining replies are still read, so none is left behind
        if (attributes->map_state == XCB_MAP_STATE_VIEWABLE)
            shown = windows[i];
        else if (!hidden)
            hidden = windows[i];
    }
    if (requests.lost()) {
        disconnect();
        return 0;
    }
    return shown ? shown : hidden;
}

bool LinuxDesktopWindows::closeWindow(WindowHandle handle)
{
    std::lock_guard<std::mutex> lock(mutex);
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeLimitMs);
    const auto window = xcb_window_t(handle);
    if (!handle || handle != window || !connect(deadline))
        return false;
    Requests requests(connection, deadline);

    auto protocols = requests.reply<xcb_get_property_reply_t>(
        xcb_get_property(connection, 0, window, wmProtocols, XCB_ATOM_ATOM, 0, 64).sequence);
    const std::vector<xcb_atom_t> accepted = itemsOf<xcb_atom_t>(protocols.get());
    bool asked = false;
    if (std::find(accepted.begin(), accepted.end(), wmDeleteWindow) != accepted.end()) {
        xcb_client_message_event_t message{};
        message.response_type = XCB_CLIENT_MESSAGE;
        message.format = 32;
        message.window = window;
        message.type = wmProtocols;
        message.data.data32[0] = wmDeleteWindow;
        message.data.data32[1] = XCB_CURRENT_TIME;
        const unsigned sent = xcb_send_event_checked(connection, 0, window, XCB_EVENT_MASK_NO_EVENT,
                                                     reinterpret_cast<const char*>(&message))
                                  .sequence;
        // A reply to a later request means the server has dealt with the message.
        requests.reply<xcb_get_input_focus_reply_t>(xcb_get_input_focus(connection).sequence);
        asked = requests.succeeded(sent);
    }
    if (requests.lost()) {
        disconnect();
        return false;
    }
    return asked;
}

std::unique_ptr<DesktopWindows> createNativeDesktopWindows()
{
    return std::make_unique<LinuxDesktopWindows>();
}

} // namespace vantel::platform
