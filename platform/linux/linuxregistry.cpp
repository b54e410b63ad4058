#include "linuxregistry.h"

#include <fstream>
#include <strings.h>

namespace vantel::platform {

namespace {

std::string trimmed(const std::string& text)
{
    const char* blanks = " \t\r\n";
    const std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos)
        return std::string();
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

bool sameName(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && ::strcasecmp(a.c_str(), b.c_str()) == 0;
}

} // namespace

LinuxRegistry::LinuxRegistry(std::string etcRoot)
    : file(std::move(etcRoot) + "/vantel/registry.ini")
{
}

long LinuxRegistry::readStringList(const std::string& key, const std::string& name,
                                   std::vector<std::string>& strings)
{
    strings.clear();
    std::ifstream in(file);
    bool inKey = false;
    bool found = false;
    std::string line;
    while (std::getline(in, line)) {
        line = trimmed(line);
        if (line.empty() || line[0] == ';' || line[0] == '#')
            continue;
        if (line.front() == '[' && line.back() == ']') {
            inKey = sameName(trimmed(line.substr(1, line.size() - 2)), key);
            continue;
        }
        const std::size_t equals = line.find('=');
        if (!inKey || equals == std::string::npos || !sameName(trimmed(line.substr(0, equals)), name))
            continue;
        found = true;
        const std::string string = trimmed(line.substr(equals + 1));
        if (!string.empty())
            strings.push_back(string);
    }
    return found ? REGISTRY_OK : REGISTRY_NOT_FOUND;
}

} // namespace vantel::platform
