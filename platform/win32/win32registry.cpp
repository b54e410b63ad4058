#include "win32registry.h"

#include "win32text.h"

#include <algorithm>

#include <windows.h>

namespace vantel::platform {

namespace {

HKEY rootKey(const std::string& name)
{
    if (name == "HKEY_LOCAL_MACHINE")
        return HKEY_LOCAL_MACHINE;
    if (name == "HKEY_CURRENT_USER")
        return HKEY_CURRENT_USER;
    if (name == "HKEY_CLASSES_ROOT")
        return HKEY_CLASSES_ROOT;
    if (name == "HKEY_USERS")
        return HKEY_USERS;
    return nullptr;
}

} // namespace

long Win32Registry::readStringList(const std::string& key, const std::string& name,
                                   std::vector<std::string>& strings)
{
    strings.clear();
    const std::size_t slash = key.find('\\');
    const HKEY root = rootKey(key.substr(0, slash));
    if (!root)
        return REGISTRY_NOT_FOUND;
    const std::wstring subKey = slash == std::string::npos ? std::wstring() : toWide(key.substr(slash + 1));
    HKEY opened = nullptr;
    LONG result = RegOpenKeyExW(root, subKey.c_str(), 0, KEY_QUERY_VALUE, &opened);
    if (result != ERROR_SUCCESS)
        return result;

    const std::wstring valueName = toWide(name);
    DWORD type = 0;
    DWORD size = 0;
    std::wstring data;
    // The value may grow between the two calls: ask again while it does.
    do {
        result = RegQueryValueExW(opened, valueName.c_str(), nullptr, &type, nullptr, &size);
        if (result != ERROR_SUCCESS)
            break;
        data.assign(size / sizeof(wchar_t) + 1, L'\0');
        size = DWORD(data.size() * sizeof(wchar_t));
        result = RegQueryValueExW(opened, valueName.c_str(), nullptr, &type,
                                  reinterpret_cast<BYTE*>(&data[0]), &size);
    } while (result == ERROR_MORE_DATA);
    RegCloseKey(opened);
    if (result != ERROR_SUCCESS)
        return result;

    // A stored string need not end with its terminator: the extra one added above does.
    data.resize(size / sizeof(wchar_t));
    if (type == REG_SZ || type == REG_EXPAND_SZ) {
        strings.push_back(toUtf8(data.substr(0, data.find(L'\0'))));
        return ERROR_SUCCESS;
    }
    if (type != REG_MULTI_SZ)
        return ERROR_INVALID_DATATYPE;
    for (std::size_t at = 0; at < data.size();) {
        const std::size_t end = std::min(data.find(L'\0', at), data.size());
        if (end == at)
            break; // the empty string that ends the list
        strings.push_back(toUtf8(data.substr(at, end - at)));
        at = end + 1;
    }
    return ERROR_SUCCESS;
}

} // namespace vantel::platform
