// A service's own connection to the X server that DISPLAY names, and the
// deadline every call to it keeps. The connection is opened on a thread of
// its own, so a server that accepts but never answers holds no caller beyond
// the time limit. Once the server has missed a deadline, callers hear "no
// server" at once, without waiting again, until it answers: a frozen server
// costs the GUI thread one time limit, not one per call.
//
// Not thread-safe: the owning service serialises its calls.
#ifndef VANTEL_PLATFORM_X11CONNECTION_H
#define VANTEL_PLATFORM_X11CONNECTION_H

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include <xcb/xcb.h>

namespace vantel::platform {

using X11Clock = std::chrono::steady_clock;

class X11Connection
{
public:
    explicit X11Connection(int timeLimitMs);
    ~X11Connection();
    X11Connection(const X11Connection&) = delete;
    X11Connection& operator=(const X11Connection&) = delete;

    // The end of a call begun now.
    X11Clock::time_point deadline() const;

    // The open connection, opened first when needed; null when DISPLAY names
    // no server, or the server has not answered since it last missed a
    // deadline. `opened` is set when this call made the connection, for a
    // service that asks for atoms or extensions once per connection.
    xcb_connection_t* get(X11Clock::time_point until, bool* opened = nullptr);

    // The root window of the connection's screen.
    std::uint32_t root() const { return rootWindow; }

    // Ends the connection after it broke or the server missed a deadline; in
    // the latter case calls answer "no server" at once until it answers.
    void drop(bool missedDeadline);

private:
    struct Opening;

    // False when DISPLAY names no server.
    bool startOpening();
    void disconnect();

    const int timeLimitMs;
    std::shared_ptr<Opening> opening;
    xcb_connection_t* connection = nullptr;
    std::uint32_t rootWindow = 0;
    bool unresponsive = false;
};

// Replies awaited until one deadline. Once it has passed, or the connection
// broke, every further wait fails at once.
class X11Requests
{
public:
    struct FreeReply {
        void operator()(void* reply) const { std::free(reply); }
    };
    template <class Reply>
    using Owned = std::unique_ptr<Reply, FreeReply>;

    X11Requests(xcb_connection_t* connection, X11Clock::time_point until);

    // The reply to request `sequence`; null when the request failed or the
    // server did not answer in time.
    template <class Reply>
    Owned<Reply> reply(unsigned sequence)
    {
        return Owned<Reply>(static_cast<Reply*>(wait(sequence, nullptr)));
    }

    // Whether a request without a reply went through; call it once a later
    // request's reply has arrived.
    bool succeeded(unsigned sequence);

    // Waits for the server to have dealt with every request sent so far.
    bool sync();

    // Whether the server has `extension`, asked without blocking past the
    // deadline; xcb's own look-up would wait for as long as the server takes.
    bool hasExtension(xcb_extension_t* extension);

    // The server did not answer in time, or the connection broke.
    bool lost() const { return failed; }
    // The server did not answer in time.
    bool late() const { return timedOut; }

private:
    void* wait(unsigned sequence, xcb_generic_error_t** failure);

    xcb_connection_t* c;
    X11Clock::time_point deadline;
    bool failed = false;
    bool timedOut = false;
};

} // namespace vantel::platform

#endif
