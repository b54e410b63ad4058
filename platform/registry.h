// Registry service: the values the library reads from the system registry
// (RegQueryValueExW on Windows). A backend without a registry keeps such
// values in a store of its own.
#ifndef VANTEL_PLATFORM_REGISTRY_H
#define VANTEL_PLATFORM_REGISTRY_H

#include <string>
#include <vector>

namespace vantel::platform {

// RegQueryValueExW results.
enum : long {
    REGISTRY_OK = 0,       // ERROR_SUCCESS
    REGISTRY_NOT_FOUND = 2 // ERROR_FILE_NOT_FOUND
};

class Registry
{
public:
    virtual ~Registry() = default;

    // Value `name` under `key` (a full path such as "HKEY_LOCAL_MACHINE\Loader")
    // read as a string list: each string of a multi-string value in order, or
    // the one string of a plain value. Key and value names match whatever
    // their case. REGISTRY_NOT_FOUND, with `strings` empty, when the key or
    // the value is missing, or the store itself is.
    virtual long readStringList(const std::string& key, const std::string& name,
                                std::vector<std::string>& strings) = 0;
};

} // namespace vantel::platform

#endif
