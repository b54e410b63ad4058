#include "x11connection.h"

#include <xcb/xcb.h>
#include <xcb/xcbext.h>

#include <poll.h>

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

namespace vantel::platform {

// The opening thread's result. The thread may outlive its X11Connection
// (xcb_connect to a frozen server returns only when the server answers):
// `abandoned` tells it to close what it opened.
struct X11Connection::Opening {
    std::mutex mutex;
    std::condition_variable opened;
    bool done = false;
    bool abandoned = false;
    xcb_connection_t* connection = nullptr;
    int screen = 0;
};

X11Connection::X11Connection(int limitMs)
    : timeLimitMs(limitMs)
{
}

X11Connection::~X11Connection()
{
    if (opening) {
        std::lock_guard<std::mutex> lock(opening->mutex);
        opening->abandoned = true;
        if (opening->done && opening->connection)
            xcb_disconnect(opening->connection);
    }
    disconnect();
}

X11Clock::time_point X11Connection::deadline() const
{
    return X11Clock::now() + std::chrono::milliseconds(timeLimitMs);
}

bool X11Connection::startOpening()
{
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
    return true;
}

xcb_connection_t* X11Connection::get(X11Clock::time_point until, bool* opened)
{
    if (opened)
        *opened = false;
    if (connection) {
        if (!xcb_connection_has_error(connection))
            return connection;
        disconnect(); // the server went away; look for the next one
    }
    if (!opening && !startOpening())
        return nullptr;
    int screenNumber = 0;
    {
        std::unique_lock<std::mutex> lock(opening->mutex);
        // A server that missed a deadline is not waited for again: the
        // opening goes on in the background until it answers.
        const bool done = unresponsive ? opening->done
                                       : opening->opened.wait_until(lock, until, [this] { return opening->done; });
        if (!done) {
            unresponsive = true;
            return nullptr;
        }
        connection = opening->connection;
        opening->connection = nullptr;
        screenNumber = opening->screen;
    }
    opening.reset();
    unresponsive = false;
    if (xcb_connection_has_error(connection)) {
        disconnect();
        return nullptr;
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screenNumber && screens.rem; ++i)
        xcb_screen_next(&screens);
    if (!screens.rem) {
        disconnect();
        return nullptr;
    }
    rootWindow = screens.data->root;
    if (opened)
        *opened = true;
    return connection;
}

void X11Connection::drop(bool missedDeadline)
{
    disconnect();
    // Opening again at once is how the connection learns the server is back.
    if (missedDeadline && (opening || startOpening()))
        unresponsive = true;
}

void X11Connection::disconnect()
{
    if (connection)
        xcb_disconnect(connection);
    connection = nullptr;
}

X11Requests::X11Requests(xcb_connection_t* connection, X11Clock::time_point until)
    : c(connection), deadline(until)
{
}

bool X11Requests::succeeded(unsigned sequence)
{
    xcb_generic_error_t* error = nullptr;
    wait(sequence, &error);
    const bool ok = !error && !failed;
    std::free(error);
    return ok;
}

bool X11Requests::sync()
{
    return reply<xcb_get_input_focus_reply_t>(xcb_get_input_focus(c).sequence) != nullptr;
}

bool X11Requests::hasExtension(xcb_extension_t* extension)
{
    if (failed)
        return false;
    // Replies come in order: once a later request's has arrived, the
    // extension's is in xcb's queue and the look-up below does not block.
    xcb_prefetch_extension_data(c, extension);
    if (!sync())
        return false;
    const xcb_query_extension_reply_t* data = xcb_get_extension_data(c, extension);
    return data && data->present;
}

void* X11Requests::wait(unsigned sequence, xcb_generic_error_t** failure)
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
        if (xcb_connection_has_error(c)) {
            failed = true;
            return nullptr;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - X11Clock::now()).count();
        if (left <= 0) {
            failed = timedOut = true;
            return nullptr;
        }
        pollfd readable{xcb_get_file_descriptor(c), POLLIN, 0};
        ::poll(&readable, 1, int(left));
    }
}

} // namespace vantel::platform
