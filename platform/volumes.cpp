#include "volumes.h"

#include "drivemap.h"

namespace vantel::platform {

Volumes::Volumes() : driveMap(std::make_unique<DriveMap>()) {}

Volumes::~Volumes() = default;

std::vector<Drive> Volumes::drives()
{
    return driveMap->update(volumes());
}

std::string Volumes::driveRoot(int index)
{
    driveMap->update(volumes());
    return driveMap->root(index);
}

int Volumes::subscribe(std::function<void()> changed)
{
    const int handle = nextHandle++;
    subscribers.emplace(handle, std::move(changed));
    if (subscribers.size() == 1)
        follow(true);
    return handle;
}

void Volumes::unsubscribe(int handle)
{
    if (subscribers.erase(handle) && subscribers.empty())
        follow(false);
}

void Volumes::notify()
{
    std::vector<std::function<void()>> calls;
    for (const auto& subscriber : subscribers)
        calls.push_back(subscriber.second);
    for (const auto& call : calls)
        call();
}

void Volumes::follow(bool) {}

} // namespace vantel::platform
