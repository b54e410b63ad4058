// The fuzzer's input read as a sequence of small decisions and values; past
// its end every read gives zeros, so any input decodes to something.
#ifndef VANTEL_FUZZ_FUZZBYTES_H
#define VANTEL_FUZZ_FUZZBYTES_H

#include <cstddef>
#include <cstdint>
#include <string>

class FuzzBytes
{
public:
    FuzzBytes(const std::uint8_t* data, std::size_t size) : at(data), left(size) {}

    bool empty() const { return left == 0; }

    std::uint8_t byte()
    {
        if (left == 0)
            return 0;
        --left;
        return *at++;
    }

    std::uint32_t number(int bytes)
    {
        std::uint32_t value = 0;
        for (int i = 0; i < bytes; ++i)
            value = value << 8 | byte();
        return value;
    }

    // A text of up to `longest` bytes, its length told by the first byte.
    std::string text(std::size_t longest = 64)
    {
        const std::size_t length = byte() % (longest + 1);
        std::string out;
        while (out.size() < length && left > 0)
            out += char(byte());
        return out;
    }

private:
    const std::uint8_t* at;
    std::size_t left;
};

#endif
