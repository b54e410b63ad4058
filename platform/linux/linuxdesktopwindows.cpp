#include "linuxdesktopwindows.h"

#include <xcb/xcb.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace vantel::platform {

namespace {

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

LinuxDesktopWindows::LinuxDesktopWindows(int timeLimitMs)
    : x11(timeLimitMs)
{
}

LinuxDesktopWindows::~LinuxDesktopWindows() = default;

xcb_connection_t* LinuxDesktopWindows::connect(X11Clock::time_point deadline)
{
    bool opened = false;
    xcb_connection_t* connection = x11.get(deadline, &opened);
    if (!connection || !opened)
        return connection;
    X11Requests requests(connection, deadline);
    if (internAtoms(connection, requests))
        return connection;
    x11.drop(requests.late());
    return nullptr;
}

bool LinuxDesktopWindows::internAtoms(xcb_connection_t* connection, X11Requests& requests)
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

WindowHandle LinuxDesktopWindows::findWindow(const std::string& className)
{
    std::lock_guard<std::mutex> lock(mutex);
    const auto deadline = x11.deadline();
    xcb_connection_t* connection = className.empty() ? nullptr : connect(deadline);
    if (!connection)
        return 0;
    X11Requests requests(connection, deadline);
    const xcb_window_t root = x11.root();

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
        x11.drop(requests.late());
        return 0;
    }
    return shown ? shown : hidden;
}

bool LinuxDesktopWindows::closeWindow(WindowHandle handle)
{
    std::lock_guard<std::mutex> lock(mutex);
    const auto deadline = x11.deadline();
    const auto window = xcb_window_t(handle);
    xcb_connection_t* connection = handle && handle == window ? connect(deadline) : nullptr;
    if (!connection)
        return false;
    X11Requests requests(connection, deadline);

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
        x11.drop(requests.late());
        return false;
    }
    return asked;
}

std::unique_ptr<DesktopWindows> createNativeDesktopWindows()
{
    return std::make_unique<LinuxDesktopWindows>();
}

} // namespace vantel::platform
