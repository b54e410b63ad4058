// The registry on Windows: RegOpenKeyExW and RegQueryValueExW, the error
// numbers passed through as the calls give them.
#ifndef VANTEL_PLATFORM_WIN32REGISTRY_H
#define VANTEL_PLATFORM_WIN32REGISTRY_H

#include "registry.h"

namespace vantel::platform {

class Win32Registry : public Registry
{
public:
    // `key` starts with its root's name (HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER,
    // HKEY_CLASSES_ROOT, HKEY_USERS); another root is REGISTRY_NOT_FOUND. A
    // REG_MULTI_SZ value gives its strings, REG_SZ and REG_EXPAND_SZ their one
    // string (not expanded); another type is ERROR_INVALID_DATATYPE (1630).
    long readStringList(const std::string& key, const std::string& name,
                        std::vector<std::string>& strings) override;
};

} // namespace vantel::platform

#endif
