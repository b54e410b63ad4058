// Reads arbitrary bytes as a power supply's uevent and as its attribute
// files, in a folder on a RAM file system, the way a status query reads
// them. Every attribute is missing or a text without trailing blanks or
// line breaks; one that reads as a number is digits after blanks and a sign.
#include "linux/linuxattribute.h"
#include "linux/linuxpowersupply.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

using namespace vantel::platform;

namespace {

// A folder of its own on /dev/shm (else the temporary folder), made once.
int supplyClass()
{
    static int fd = -1;
    if (fd >= 0)
        return fd;
    const char* base = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    std::string folder = std::string(base) + "/vantel-fuzz-sysfs-XXXXXX";
    if (!::mkdtemp(&folder[0]) || ::mkdir((folder + "/BAT0").c_str(), 0700) != 0)
        std::abort();
    fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        std::abort();
    return fd;
}

void put(int classFd, const char* name, const uint8_t* data, size_t size)
{
    const int fd = ::openat(classFd, name, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0 || ::write(fd, data, size) != ssize_t(size))
        std::abort();
    ::close(fd);
}

void check(const char* text, bool isNumber)
{
    if (!text) {
        if (isNumber)
            std::abort();
        return;
    }
    const std::size_t length = std::strlen(text);
    if (length == 0 || std::strchr(text, '\n') || std::strchr(" \t\r\n", text[length - 1]))
        std::abort();
    // A number is digits after blanks and a sign, nothing else.
    if (isNumber && (!std::strpbrk(text, "0123456789") || text[std::strspn(text, " \t\n\v\f\r+-0123456789")] != '\0'))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const int classFd = supplyClass();
    // The same bytes as the uevent and as each attribute file: a uevent
    // without the type sends the reader to the files.
    put(classFd, "BAT0/uevent", data, size);
    for (const char* name : {"BAT0/type", "BAT0/status", "BAT0/capacity", "BAT0/energy_now"})
        put(classFd, name, data, size);

    const int supplyFd = ::openat(classFd, "BAT0", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    int ueventFd = -1;
    std::string last;
    LinuxPowerSupply supply;
    // A first read always parses; a second one of the same uevent does not.
    if (supply.read(supplyFd, ueventFd, last))
        std::abort();
    const bool fromUevent = !last.empty();
    LinuxPowerSupply again;
    if (again.read(supplyFd, ueventFd, last) != fromUevent)
        std::abort();
    for (int a = 0; a < LinuxPowerSupply::AttributeCount; ++a) {
        const auto attribute = LinuxPowerSupply::Attribute(a);
        const char* text = supply.text(attribute);
        const std::string copy = text ? text : "";
        std::int64_t number = 0;
        const bool isNumber = supply.toInt64(attribute, number);
        check(text ? copy.c_str() : nullptr, isNumber);
    }

    if (ueventFd >= 0)
        ::close(ueventFd);

    LinuxAttribute attribute;
    const bool read = attribute.read(supplyFd, "capacity");
    ::close(supplyFd);
    if (read != (attribute.text()[0] != '\0'))
        std::abort();
    std::int64_t number = 0;
    const bool isNumber = attribute.toInt64(number);
    check(read ? attribute.text() : nullptr, isNumber);
    return 0;
}
