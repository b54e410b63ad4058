// The simulated tablet: a backend whose state a test or a scenario sets.
#ifndef VANTEL_PLATFORM_SIMTABLET_H
#define VANTEL_PLATFORM_SIMTABLET_H

#include "platform.h"
#include "simdebugoutput.h"
#include "simpowerstatus.h"
#include "simvolumes.h"

namespace vantel::platform {

class SimTablet : public Backend
{
public:
    const char* name() const override { return "sim"; }
    PowerStatus& powerStatus() override { return power; }
    Volumes& volumes() override { return volumeService; }
    DebugOutput& debugOutput() override { return debug; }

    SimPowerStatus& simPower() { return power; }
    SimVolumes& simVolumes() { return volumeService; }
    SimDebugOutput& simDebug() { return debug; }

private:
    SimPowerStatus power;
    SimVolumes volumeService;
    SimDebugOutput debug;
};

} // namespace vantel::platform

#endif
