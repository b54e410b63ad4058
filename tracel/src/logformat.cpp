#include "logformat.h"

#include <charconv>

namespace tracel {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Reads one code point and advances p past it.
char32_t nextCodePoint(const char16_t*& p)
{
    const char32_t unit = *p++;
    if (unit >= 0xD800 && unit <= 0xDBFF && *p >= 0xDC00 && *p <= 0xDFFF)
        return 0x10000 + ((unit - 0xD800) << 10) + (*p++ - 0xDC00);
    if (unit >= 0xD800 && unit <= 0xDFFF)
        return kReplacement;
    return unit;
}

std::size_t encodeUtf8(char32_t cp, char* buf)
{
    if (cp < 0x80) {
        buf[0] = static_cast<char>(cp);
        return 1;
    }
    if (cp < 0x800) {
        buf[0] = static_cast<char>(0xC0 | (cp >> 6));
        buf[1] = static_cast<char>(0x80 | (cp & 0x3F));
        return 2;
    }
    if (cp < 0x10000) {
        buf[0] = static_cast<char>(0xE0 | (cp >> 12));
        buf[1] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        buf[2] = static_cast<char>(0x80 | (cp & 0x3F));
        return 3;
    }
    buf[0] = static_cast<char>(0xF0 | (cp >> 18));
    buf[1] = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    buf[2] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    buf[3] = static_cast<char>(0x80 | (cp & 0x3F));
    return 4;
}

// Appends whole pieces only, so a cut never splits a character.
class LineBuilder
{
public:
    LineBuilder(std::string& out, std::size_t limit) : out_(out), limit_(limit) {}

    bool full() const { return full_; }

    void append(const char* data, std::size_t size)
    {
        if (full_ || out_.size() + size > limit_) {
            full_ = true;
            return;
        }
        out_.append(data, size);
    }

    void appendCodePoint(char32_t cp)
    {
        char buf[4];
        if (cp == '\n') {
            append("\\n", 2);
        } else if (cp == '\r') {
            append("\\r", 2);
        } else if ((cp < 0x20 && cp != '\t') || cp == 0x7F) {
            static const char hex[] = "0123456789abcdef";
            const char escaped[4] = {'\\', 'x', hex[cp >> 4], hex[cp & 0xF]};
            append(escaped, 4);
        } else {
            append(buf, encodeUtf8(cp, buf));
        }
    }

    void appendText(const char16_t* text)
    {
        if (!text) {
            append("(null)", 6);
            return;
        }
        while (*text && !full_)
            appendCodePoint(nextCodePoint(text));
    }

    template <typename Int>
    void appendNumber(Int value, int base)
    {
        char buf[24];
        const auto result = std::to_chars(buf, buf + sizeof buf, value, base);
        append(buf, static_cast<std::size_t>(result.ptr - buf));
    }

private:
    std::string& out_;
    std::size_t limit_;
    bool full_ = false;
};

} // namespace

void formatLine(std::string& out, const char16_t* format, va_list args, std::size_t limit)
{
    LineBuilder line(out, limit);
    const char16_t* p = format;
    while (*p && !line.full()) {
        if (*p == u'%') {
            switch (p[1]) {
            case u's':
                line.appendText(va_arg(args, const char16_t*));
                p += 2;
                continue;
            case u'd':
            case u'i':
                line.appendNumber(va_arg(args, int), 10);
                p += 2;
                continue;
            case u'u':
                line.appendNumber(va_arg(args, unsigned), 10);
                p += 2;
                continue;
            case u'x':
                line.appendNumber(va_arg(args, unsigned), 16);
                p += 2;
                continue;
            case u'%':
                ++p; // the second '%' is written below
                break;
            default:
                break; // written as it stands
            }
        }
        line.appendCodePoint(nextCodePoint(p));
    }
}

void appendUtf8(std::string& out, const char16_t* text)
{
    char buf[4];
    while (*text)
        out.append(buf, encodeUtf8(nextCodePoint(text), buf));
}

} // namespace tracel
