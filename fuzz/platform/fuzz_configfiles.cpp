// Reads arbitrary bytes as the two configuration files the Linux backend
// reads: the registry file and the power scheme store. Every string of a
// registry value is non-empty, without blanks around it and on one line,
// and a value found under one spelling of its key and name is found under
// any other case. The store's values, written back as the store writes
// them, read back as the same values.
#include "linux/linuxpowerschemestore.h"
#include "linux/linuxregistry.h"

#include <cctype>
#include <cstdint>
#include <cstdlib>

using namespace vantel::platform;

namespace {

std::string swapCase(std::string text)
{
    for (char& c : text)
        c = char(std::isupper(static_cast<unsigned char>(c)) ? std::tolower(static_cast<unsigned char>(c))
                                                              : std::toupper(static_cast<unsigned char>(c)));
    return text;
}

void registry(const std::string& text, const std::string& key, const std::string& name)
{
    std::vector<std::string> strings{"stale"};
    const long result = LinuxRegistry::parse(text, key, name, strings);
    if (result != REGISTRY_OK && (result != REGISTRY_NOT_FOUND || !strings.empty()))
        std::abort();
    for (const std::string& s : strings) {
        if (s.empty() || s.find('\n') != std::string::npos || std::isspace(static_cast<unsigned char>(s.front()))
            || std::isspace(static_cast<unsigned char>(s.back())))
            std::abort();
    }
    std::vector<std::string> again;
    if (LinuxRegistry::parse(text, swapCase(key), swapCase(name), again) != result || again != strings)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    registry(text, "HKEY_LOCAL_MACHINE\\Loader", "SystemPath");
    // The first section and the first name the text holds, whatever they are.
    const std::size_t open = text.find('[');
    const std::size_t close = text.find(']', open);
    const std::size_t equals = text.find('=', close);
    if (open != std::string::npos && close != std::string::npos && equals != std::string::npos) {
        const std::size_t lineStart = text.rfind('\n', equals);
        const std::size_t nameStart = lineStart == std::string::npos || lineStart < close ? close + 1 : lineStart + 1;
        registry(text, text.substr(open + 1, close - open - 1), text.substr(nameStart, equals - nameStart));
    }

    const PowerSchemeValues values = LinuxPowerSchemeStore::parse(text);
    const std::string written = LinuxPowerSchemeStore::format(values);
    const PowerSchemeValues again = LinuxPowerSchemeStore::parse(written);
    if (again.size() != values.size() || LinuxPowerSchemeStore::format(again) != written)
        std::abort();
    return 0;
}
