#include "simtablet.h"

namespace vantel::platform {

std::shared_ptr<Backend> createSimulatedBackend()
{
    return std::make_shared<SimTablet>();
}

} // namespace vantel::platform
