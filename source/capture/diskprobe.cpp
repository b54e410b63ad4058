#include "capture/diskprobe.h"

#include <QDir>

#include <chrono>
#include <condition_variable>
#include <mutex>

struct DiskProbe::Shared {
    std::mutex mutex;
    std::condition_variable asked;
    std::condition_variable answered;
    QString dir;
    bool pending = false; // a request the looker has not taken yet
    bool busy = false;    // a request taken and not yet answered
    bool exists = false;
    bool quit = false;
};

DiskProbe::DiskProbe()
    : shared(std::make_shared<Shared>())
{
}

DiskProbe::~DiskProbe()
{
    if (!looker.joinable())
        return;
    bool held = false;
    {
        std::lock_guard<std::mutex> lock(shared->mutex);
        shared->quit = true;
        held = shared->pending || shared->busy;
    }
    shared->asked.notify_one();
    // A looker at rest ends at once; one in the kernel keeps what it shares.
    if (held)
        looker.detach();
    else
        looker.join();
}

void DiskProbe::lookOnRequest(const std::shared_ptr<Shared>& shared)
{
    std::unique_lock<std::mutex> lock(shared->mutex);
    for (;;) {
        shared->asked.wait(lock, [&] { return shared->pending || shared->quit; });
        if (!shared->pending)
            return;
        shared->pending = false;
        shared->busy = true;
        const QString dir = shared->dir;
        lock.unlock();
        const bool exists = QDir(dir).exists();
        lock.lock();
        shared->exists = exists;
        shared->busy = false;
        shared->answered.notify_one();
    }
}

bool DiskProbe::reachable(const QString& dir)
{
    if (dir.isEmpty())
        return false;
    if (!looker.joinable())
        looker = std::thread(&DiskProbe::lookOnRequest, shared);
    std::unique_lock<std::mutex> lock(shared->mutex);
    if (shared->pending || shared->busy)
        return false; // the last look is still held
    shared->dir = dir;
    shared->pending = true;
    shared->asked.notify_one();
    const bool done = shared->answered.wait_for(lock, std::chrono::milliseconds(kWaitMs),
                                                [&] { return !shared->pending && !shared->busy; });
    return done && shared->exists;
}
