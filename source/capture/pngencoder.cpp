#include "capture/pngencoder.h"

#include <QThread>
#include <QtEndian>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <limits>
#include <memory>
#include <system_error>
#include <thread>
#include <vector>

#include <zlib.h>

namespace {

constexpr int kMaxThreads = 8;
// Fewer rows than this per strip cost more in thread start-up than they save.
constexpr int kMinRowsPerStrip = 64;
constexpr std::size_t kWindow = 32768;
// zlib's fast matcher with its longest chains: on a screen of text and
// photographs the file comes out no larger than at level 6 with libpng's
// filtered strategy (which drops the short matches text is made of), in a
// third of the time. Levels 1 and 2 are faster still but a tenth larger on
// photographs.
constexpr int kLevel = 3;

struct Strip
{
    int firstRow = 0;
    int endRow = 0;
    std::vector<uchar> deflated;
    uLong adler = 1;
    bool ok = false;
};

// Runs job(0) .. job(count - 1), all but the first on threads of their own;
// where no thread can be had the caller runs them in turn.
void runInParallel(int count, const std::function<void(int)>& job)
{
    std::vector<std::thread> workers;
    int inline_from = count;
    for (int k = 1; k < count; ++k) {
        try {
            workers.emplace_back(job, k);
        } catch (const std::system_error&) {
            inline_from = k;
            break;
        }
    }
    job(0);
    for (int k = inline_from; k < count; ++k)
        job(k);
    for (std::thread& worker : workers)
        worker.join();
}

// The filters as PNG numbers them.
enum { NONE, SUB, UP, AVERAGE, PAETH, FILTERS };

// A filtered byte's part in libpng's measure of a row: the byte read as
// signed, without sign. The row with the smallest sum usually deflates best.
inline uchar weight(uchar filtered)
{
    return std::min(filtered, uchar(-filtered));
}

// In 16 bits, which all of its sums fit, so that the vectorised loops hold
// eight bytes a register rather than four.
inline std::int16_t paethPredictor(std::int16_t a, std::int16_t b, std::int16_t c)
{
    const std::int16_t pa = std::int16_t(std::abs(b - c));
    const std::int16_t pb = std::int16_t(std::abs(a - c));
    const std::int16_t pc = std::int16_t(std::abs(a + b - 2 * c));
    return (pa <= pb && pa <= pc) ? a : (pb <= pc ? b : c);
}

// The five filters' sums over the row, in one pass that writes nothing; the
// first pixel has no left neighbour and counts its left as 0. Branch-free and
// unaliased so that the compiler vectorises the loop.
void weighFilters(const uchar* __restrict cur, const uchar* __restrict prev, int n, int bpp, unsigned* sums)
{
    unsigned none = 0, sub = 0, up = 0, average = 0, paeth = 0;
    for (int i = 0; i < bpp; ++i) {
        none += weight(cur[i]);
        sub += weight(cur[i]);
        up += weight(uchar(cur[i] - prev[i]));
        average += weight(uchar(cur[i] - (prev[i] >> 1)));
        paeth += weight(uchar(cur[i] - prev[i])); // the predictor is the byte above
    }
    for (int i = bpp; i < n; ++i) {
        const std::int16_t a = cur[i - bpp];
        const std::int16_t b = prev[i];
        const std::int16_t c = prev[i - bpp];
        none += weight(cur[i]);
        sub += weight(uchar(cur[i] - a));
        up += weight(uchar(cur[i] - b));
        average += weight(uchar(cur[i] - ((a + b) >> 1)));
        paeth += weight(uchar(cur[i] - paethPredictor(a, b, c)));
    }
    sums[NONE] = none;
    sums[SUB] = sub;
    sums[UP] = up;
    sums[AVERAGE] = average;
    sums[PAETH] = paeth;
}

template <int Filter>
void applyFilter(const uchar* __restrict cur, const uchar* __restrict prev, int n, int bpp, uchar* __restrict out)
{
    for (int i = 0; i < n; ++i) {
        const int a = i >= bpp ? cur[i - bpp] : 0;
        const int b = prev[i];
        const int c = i >= bpp ? prev[i - bpp] : 0;
        int predictor = 0;
        if (Filter == SUB)
            predictor = a;
        else if (Filter == UP)
            predictor = b;
        else if (Filter == AVERAGE)
            predictor = (a + b) >> 1;
        else if (Filter == PAETH)
            predictor = paethPredictor(a, b, c);
        out[i] = uchar(cur[i] - predictor);
    }
}

// One row, filtered the way libpng filters at its defaults: all five
// filters weighed, the one with the smallest sum kept (the first on a tie).
// `out` gets the filter byte and the row.
void filterRow(const uchar* cur, const uchar* prev, int n, int bpp, uchar* out)
{
    unsigned sums[FILTERS];
    weighFilters(cur, prev, n, bpp, sums);
    const int best = int(std::min_element(sums, sums + FILTERS) - sums);
    out[0] = uchar(best);
    switch (best) {
    case NONE:
        std::memcpy(out + 1, cur, std::size_t(n));
        break;
    case SUB:
        applyFilter<SUB>(cur, prev, n, bpp, out + 1);
        break;
    case UP:
        applyFilter<UP>(cur, prev, n, bpp, out + 1);
        break;
    case AVERAGE:
        applyFilter<AVERAGE>(cur, prev, n, bpp, out + 1);
        break;
    default:
        applyFilter<PAETH>(cur, prev, n, bpp, out + 1);
        break;
    }
}

// The strip's rows in the file's pixel format, with the row above the strip
// first (the filters look one row up). A view on the picture's own rows
// where the format already fits.
QImage stripRows(const QImage& picture, int firstRow, int endRow, QImage::Format format)
{
    const int from = std::max(0, firstRow - 1);
    const QImage view(picture.constScanLine(from), picture.width(), endRow - from, picture.bytesPerLine(),
                      picture.format());
    return view.convertToFormat(format);
}

void filterStrip(const QImage& picture, const Strip& strip, QImage::Format format, int bpp, uchar* out)
{
    const int n = picture.width() * bpp;
    const QImage rows = stripRows(picture, strip.firstRow, strip.endRow, format);
    std::vector<uchar> zeros(std::size_t(n), 0);
    int line = strip.firstRow > 0 ? 1 : 0;
    const uchar* prev = strip.firstRow > 0 ? rows.constScanLine(0) : zeros.data();
    for (int y = strip.firstRow; y < strip.endRow; ++y, ++line) {
        const uchar* cur = rows.constScanLine(line);
        filterRow(cur, prev, n, bpp, out);
        out += n + 1;
        prev = cur;
    }
}

// Raw deflate of one strip. Every strip but the last ends on a byte
// boundary with an empty stored block, so the pieces join into one stream.
bool deflateStrip(const uchar* dictionary, std::size_t dictionaryLength, const uchar* in, std::size_t length,
                  bool last, Strip& strip)
{
    if (length > std::numeric_limits<uInt>::max())
        return false;
    z_stream z{};
    if (deflateInit2(&z, kLevel, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return false;
    bool ok = dictionaryLength == 0 || deflateSetDictionary(&z, dictionary, uInt(dictionaryLength)) == Z_OK;
    z.next_in = const_cast<uchar*>(in);
    z.avail_in = uInt(length);
    strip.deflated.resize(deflateBound(&z, uLong(length)) + 64);
    std::size_t written = 0;
    const int flush = last ? Z_FINISH : Z_SYNC_FLUSH;
    while (ok) {
        if (written == strip.deflated.size())
            strip.deflated.resize(strip.deflated.size() * 2);
        z.next_out = strip.deflated.data() + written;
        z.avail_out = uInt(std::min<std::size_t>(strip.deflated.size() - written, std::numeric_limits<uInt>::max()));
        const int rc = deflate(&z, flush);
        written = std::size_t(z.next_out - strip.deflated.data());
        if (last ? rc == Z_STREAM_END : (rc == Z_OK && z.avail_in == 0 && z.avail_out > 0))
            break;
        // Z_BUF_ERROR only for want of room: anything else would loop forever.
        ok = rc == Z_OK || (rc == Z_BUF_ERROR && z.avail_out == 0);
    }
    deflateEnd(&z);
    strip.deflated.resize(written);
    strip.adler = adler32(adler32(0, nullptr, 0), in, uInt(length));
    return ok;
}

// A chunk: length, type, data, and the CRC of type and data.
class Chunk
{
public:
    Chunk(QByteArray& file, const char* type)
        : png(file)
        , start(file.size())
    {
        png.append(4, '\0');
        png.append(type, 4);
    }
    Chunk& operator<<(quint32 word)
    {
        const quint32 big = qToBigEndian(word);
        png.append(reinterpret_cast<const char*>(&big), 4);
        return *this;
    }
    void append(const void* data, std::size_t length)
    {
        png.append(static_cast<const char*>(data), qsizetype(length));
    }
    ~Chunk()
    {
        const quint32 length = quint32(png.size() - start - 8);
        qToBigEndian(length, png.data() + start);
        const uLong crc = crc32(crc32(0, nullptr, 0), reinterpret_cast<const uchar*>(png.constData() + start + 4),
                                uInt(length + 4));
        *this << quint32(crc);
    }

private:
    QByteArray& png;
    const qsizetype start;
};

} // namespace

PngEncoder::PngEncoder(int threadCount)
    : threads(threadCount > 0 ? threadCount : QThread::idealThreadCount())
{
}

QByteArray PngEncoder::encode(const QImage& input) const
{
    if (input.isNull())
        return QByteArray();
    const bool alpha = input.hasAlphaChannel();
    const QImage::Format format = alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888;
    const int bpp = alpha ? 4 : 3;
    // A row view cannot carry a colour table: such pictures are converted whole.
    const QImage picture = input.colorTable().isEmpty() ? input : input.convertToFormat(format);
    const int width = picture.width();
    const int height = picture.height();
    const std::size_t rowBytes = std::size_t(width) * std::size_t(bpp) + 1;

    const int count = std::clamp(std::min(threads, height / kMinRowsPerStrip), 1, kMaxThreads);
    std::vector<Strip> strips(static_cast<std::size_t>(count));
    for (int k = 0; k < count; ++k) {
        strips[std::size_t(k)].firstRow = int(qint64(height) * k / count);
        strips[std::size_t(k)].endRow = int(qint64(height) * (k + 1) / count);
    }
    // Every byte is written by the filters: not zeroed first.
    const std::unique_ptr<uchar[]> filtered(new uchar[rowBytes * std::size_t(height)]);
    runInParallel(count, [&](int k) {
        const Strip& strip = strips[std::size_t(k)];
        filterStrip(picture, strip, format, bpp, filtered.get() + rowBytes * std::size_t(strip.firstRow));
    });
    runInParallel(count, [&](int k) {
        Strip& strip = strips[std::size_t(k)];
        const std::size_t offset = rowBytes * std::size_t(strip.firstRow);
        const std::size_t dictionary = std::min(offset, kWindow);
        strip.ok = deflateStrip(filtered.get() + offset - dictionary, dictionary, filtered.get() + offset,
                                rowBytes * std::size_t(strip.endRow - strip.firstRow), k == count - 1, strip);
    });

    QByteArray png("\x89PNG\r\n\x1a\n", 8);
    {
        Chunk header(png, "IHDR");
        header << quint32(width) << quint32(height);
        const uchar rest[] = {8, uchar(alpha ? 6 : 2), 0, 0, 0}; // depth, colour type, deflate, filters, no interlace
        header.append(rest, sizeof rest);
    }
    uLong adler = 1;
    for (int k = 0; k < count; ++k) {
        const Strip& strip = strips[std::size_t(k)];
        if (!strip.ok)
            return QByteArray();
        adler = k == 0 ? strip.adler
                       : adler32_combine(adler, strip.adler,
                                         z_off_t(rowBytes * std::size_t(strip.endRow - strip.firstRow)));
        Chunk data(png, "IDAT");
        if (k == 0) {
            const uchar zlibHeader[] = {0x78, 0x5e}; // deflate, 32 KiB window, a fast level
            data.append(zlibHeader, sizeof zlibHeader);
        }
        data.append(strip.deflated.data(), strip.deflated.size());
        if (k == count - 1)
            data << quint32(adler);
    }
    Chunk(png, "IEND");
    return png;
}
