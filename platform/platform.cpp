#include "platform.h"

#include <cstdlib>
#include <cstring>
#include <mutex>

namespace vantel::platform {

namespace {

std::mutex registryMutex;
std::shared_ptr<Backend> installed;

std::shared_ptr<Backend> chooseBackend()
{
    const char* choice = std::getenv("VANTEL_PLATFORM");
    if (choice && std::strcmp(choice, "sim") == 0)
        return createSimulatedBackend();
    return createNativeBackend();
}

} // namespace

std::shared_ptr<Backend> currentBackend()
{
    std::lock_guard<std::mutex> lock(registryMutex);
    if (!installed)
        installed = chooseBackend();
    return installed;
}

Backend& backend()
{
    std::lock_guard<std::mutex> lock(registryMutex);
    if (!installed)
        installed = chooseBackend();
    return *installed;
}

void installBackend(std::shared_ptr<Backend> backend)
{
    std::lock_guard<std::mutex> lock(registryMutex);
    installed = std::move(backend);
}

} // namespace vantel::platform
