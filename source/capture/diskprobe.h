// Whether a removable disk's folder is there, looked at on a thread of its
// own: a stick that stops answering (pulled in the middle of a transfer, a
// hung FUSE mount such as an NTFS stick, a network share) then holds that
// thread in the kernel, never the caller. The caller waits at most kWaitMs;
// while a look is still held, the disk counts as unreachable at once and no
// second look starts, so a dead stick costs one thread, not one a poll.
#ifndef DISKPROBE_H
#define DISKPROBE_H

#include <QString>

#include <memory>
#include <thread>

class DiskProbe
{
public:
    static constexpr int kWaitMs = 200;

    DiskProbe();
    ~DiskProbe(); // leaves a thread the kernel holds to end by itself

    DiskProbe(const DiskProbe&) = delete;
    DiskProbe& operator=(const DiskProbe&) = delete;

    // True when `dir` is an existing folder and said so within kWaitMs.
    bool reachable(const QString& dir);

private:
    struct Shared;
    static void lookOnRequest(const std::shared_ptr<Shared>& shared);

    std::shared_ptr<Shared> shared;
    std::thread looker;
};

#endif
