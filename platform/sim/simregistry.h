// The simulated tablet's registry: the values a test or the demo set.
#ifndef VANTEL_PLATFORM_SIMREGISTRY_H
#define VANTEL_PLATFORM_SIMREGISTRY_H

#include <map>
#include <mutex>

#include "registry.h"

namespace vantel::platform {

class SimRegistry : public Registry
{
public:
    long readStringList(const std::string& key, const std::string& name,
                        std::vector<std::string>& strings) override;

    // An empty list removes the value.
    void set(const std::string& key, const std::string& name, std::vector<std::string> strings);

private:
    std::mutex mutex;
    // By key path and value name, both in lower case.
    std::map<std::string, std::vector<std::string>> values;
};

} // namespace vantel::platform

#endif
