// A backend's service, made the first time it is asked for: a test of the
// battery then never opens a bus or an X display it does not need. Safe to
// ask from several threads; the service lives as long as its backend.
#ifndef VANTEL_PLATFORM_ONFIRSTUSE_H
#define VANTEL_PLATFORM_ONFIRSTUSE_H

#include <memory>
#include <mutex>

namespace vantel::platform {

template <class Service>
class OnFirstUse
{
public:
    // `make` returns a std::unique_ptr to the service; it runs once.
    template <class Make>
    Service& get(Make make)
    {
        std::call_once(once, [&] { service = make(); });
        return *service;
    }

private:
    std::once_flag once;
    std::unique_ptr<Service> service;
};

} // namespace vantel::platform

#endif
