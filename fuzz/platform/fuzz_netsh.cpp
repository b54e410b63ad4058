// The netsh command lines of any settings decoded from the fuzzer's bytes,
// as a property: every line read back by netsh's grammar gives the
// settings it was built from, its only quotes are the two around the name,
// and nothing in it is a character the command interpreter acts on outside
// them (a line break, '&', '|', '<', '>', '^', '%'). Settings whose lines
// could not keep that give no line at all.
#include "iphelper.h"

#include "fuzzbytes.h"

#include <cstdint>
#include <cstdlib>

using namespace vantel::platform;

namespace {

struct Line {
    std::string verb; // "set address", "set dnsservers", "add dns"
    std::string name;
    std::vector<std::string> words; // after the name, split at blanks
};

bool startsWith(const std::string& text, const std::string& prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

Line parse(const std::string& text)
{
    Line line;
    const std::string head = "netsh interface ip ";
    if (!startsWith(text, head))
        std::abort();
    std::size_t at = head.size();
    for (const char* verb : {"set address", "set dnsservers", "add dns"}) {
        if (startsWith(text.substr(at), std::string(verb) + " name=\"")) {
            line.verb = verb;
            at += line.verb.size() + 7;
            break;
        }
    }
    const std::size_t close = text.find('"', at);
    if (line.verb.empty() || close == std::string::npos)
        std::abort();
    line.name = text.substr(at, close - at);
    const std::string rest = text.substr(close + 1);
    if (rest.find('"') != std::string::npos || rest.empty() || rest[0] != ' ')
        std::abort();
    for (std::size_t start = 1; start <= rest.size();) {
        std::size_t blank = rest.find(' ', start);
        if (blank == std::string::npos)
            blank = rest.size();
        line.words.push_back(rest.substr(start, blank - start));
        start = blank + 1;
    }
    for (const char c : text)
        if (c == '%' || c == '\r' || c == '\n' || c == '\0')
            std::abort();
    if (rest.find_first_of("&|<>^") != std::string::npos)
        std::abort();
    return line;
}

void expect(const Line& line, const char* verb, const IpInterfaceSettings& s, std::vector<std::string> words)
{
    if (line.verb != verb || line.name != s.name || line.words != words)
        std::abort();
}

// Mostly a few likely characters, so that valid addresses come up often.
std::string address(FuzzBytes& in)
{
    static const char likely[] = "0123456789..........1255 \"&%";
    const std::uint8_t kind = in.byte();
    if (kind < 128) {
        std::string text;
        const int length = in.byte() % 20;
        for (int i = 0; i < length; ++i)
            text += likely[in.byte() % (sizeof(likely) - 1)];
        return text;
    }
    if (kind < 192)
        return std::to_string(in.byte()) + '.' + std::to_string(in.byte()) + '.' + std::to_string(in.byte()) + '.'
               + std::to_string(in.byte());
    return in.text(24);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzBytes in(data, size);
    IpInterfaceSettings s;
    s.dhcp = in.byte() & 1;
    s.name = in.text(40);
    s.address = address(in);
    s.mask = address(in);
    s.gateway = address(in);
    for (int n = in.byte() % 4; n > 0; --n)
        s.dnsServers.push_back(address(in));

    const std::vector<std::string> lines = netshCommandLines(s);
    if (lines.empty())
        return 0;
    std::vector<Line> read;
    for (const std::string& text : lines)
        read.push_back(parse(text));
    if (s.dhcp) {
        if (read.size() != 2)
            std::abort();
        expect(read[0], "set address", s, {"dhcp"});
        expect(read[1], "set dnsservers", s, {"dhcp"});
    } else {
        if (read.size() != 3 || s.dnsServers.size() < 2)
            std::abort();
        expect(read[0], "set address", s, {"static", s.address, s.mask, s.gateway});
        expect(read[1], "set dnsservers", s, {"static", s.dnsServers[0]});
        expect(read[2], "add dns", s, {s.dnsServers[1], "2"});
    }
    return 0;
}
