// The platform layer: one interface per operating-system service, and the one
// place that owns the services of the backend in use.
//
// The backend is chosen once, on first use: the simulated tablet when the
// environment variable VANTEL_PLATFORM is "sim", the native backend otherwise.
// A test or the demo host installs its own simulated tablet with
// installBackend() before the library's objects start using the services.
//
// Adding a service: declare its interface in a header of its own beside
// powerstatus.h, add a pure virtual accessor to Backend and a free accessor
// below, and implement it in every backend folder (linux/, sim/, ...).
#ifndef VANTEL_PLATFORM_PLATFORM_H
#define VANTEL_PLATFORM_PLATFORM_H

#include <memory>

#include "debugoutput.h"
#include "powerstatus.h"
#include "volumes.h"

namespace vantel::platform {

class Backend
{
public:
    virtual ~Backend() = default;

    virtual const char* name() const = 0;
    virtual PowerStatus& powerStatus() = 0;
    virtual Volumes& volumes() = 0;
    virtual DebugOutput& debugOutput() = 0;
};

// The backend in use; created on first use when none was installed.
std::shared_ptr<Backend> currentBackend();
Backend& backend();

// Makes `backend` the one in use. Objects that hold the previous one (a
// volume watcher) keep it alive until they go.
void installBackend(std::shared_ptr<Backend> backend);

// What VANTEL_PLATFORM selects; defined by each backend folder.
std::shared_ptr<Backend> createNativeBackend();
std::shared_ptr<Backend> createSimulatedBackend();

inline PowerStatus& powerStatus() { return backend().powerStatus(); }
inline Volumes& volumes() { return backend().volumes(); }
inline DebugOutput& debugOutput() { return backend().debugOutput(); }

} // namespace vantel::platform

#endif
