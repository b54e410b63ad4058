// A PNG encoder for screen captures that spreads the work over the cores.
// The file is what Qt's writer gives at its default quality (zlib level 6,
// each row's filter chosen as libpng chooses it) and decodes to the same
// pixels, but the rows are filtered and deflated in strips, one thread each,
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
