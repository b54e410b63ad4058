#include "linuxregistry.h"

#include <algorithm>
#include <cctype>

#include "linuxfile.h"

namespace vantel::platform {

namespace {

// A registry file holds a few paths; a bigger file is not one.
constexpr std::size_t kLargestFile = 1024 * 1024;

std::string trimmed(const std::string& text)
{
    const char* blanks = " \t\r\n\v\f";
    const std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos)
        return std::string();
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

// Whatever the case of ASCII letters; every byte counts, a NUL too.
bool sameName(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

} // namespace

LinuxRegistry::LinuxRegistry(std::string etcRoot)
    : file(std::move(etcRoot) + "/vantel/registry.ini")
{
}

long LinuxRegistry::readStringList(const std::string& key, const std::string& name,
                                   std::vector<std::string>& strings)
{
    std::string text;
    readRegularFile(file, kLargestFile, text);
    return parse(text, key, name, strings);
}

long LinuxRegistry::parse(const std::string& text, const std::string& key, const std::string& name,
                          std::vector<std::string>& strings)
{
    strings.clear();
    bool inKey = false;
    bool found = false;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string line = trimmed(text.substr(start, end - start));
        start = end + 1;
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
