#include "simregistry.h"

#include <cctype>

namespace vantel::platform {

namespace {

// Registry names match whatever their case.
std::string valuePath(const std::string& key, const std::string& name)
{
    std::string path = key + '\n' + name;
    for (char& c : path)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return path;
}

} // namespace

long SimRegistry::readStringList(const std::string& key, const std::string& name,
                                 std::vector<std::string>& strings)
{
    std::lock_guard<std::mutex> lock(mutex);
    const auto value = values.find(valuePath(key, name));
    if (value == values.end()) {
        strings.clear();
        return REGISTRY_NOT_FOUND;
    }
    strings = value->second;
    return REGISTRY_OK;
}

void SimRegistry::set(const std::string& key, const std::string& name, std::vector<std::string> strings)
{
    std::lock_guard<std::mutex> lock(mutex);
    if (strings.empty())
        values.erase(valuePath(key, name));
    else
        values[valuePath(key, name)] = std::move(strings);
}

} // namespace vantel::platform
