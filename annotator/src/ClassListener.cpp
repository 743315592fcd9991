#include "annotator/src/ClassListener.h"

#include <sys/socket.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <QTimer>
#include <cerrno>

using namespace platform::win;

namespace {
constexpr int kPeerLimitMs = 1000;
constexpr int kReadLimitMs = 50;
constexpr size_t kMaxPeers = 64;
}  // namespace

struct ClassListener::Peer {
    std::unique_ptr<QSocketNotifier> readable;
    std::unique_ptr<QTimer> limit;
};

ClassListener::ClassListener(WindowClassOwner& owner, WindowClassOwner::Handler handler)
    : mHandler(std::move(handler)) {
    mListen = std::make_unique<QSocketNotifier>(owner.Fd(), QSocketNotifier::Read);
    QObject::connect(mListen.get(), &QSocketNotifier::activated, [this] { AcceptPending(); });
}

ClassListener::~ClassListener() {
    mListen.reset();
    for (auto& [fd, peer] : mPeers) {
        peer.reset();
        close(fd);
    }
}

void ClassListener::AcceptPending() {
    for (;;) {
        // Full: the rest wait in the socket's backlog until a peer is done.
        if (mPeers.size() >= kMaxPeers) return mListen->setEnabled(false);
        const int fd = accept4(mListen->socket(), nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd < 0) {
            if (errno == EINTR) continue;
            return;
        }
        auto peer = std::make_unique<Peer>();
        peer->readable = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
        QObject::connect(peer->readable.get(), &QSocketNotifier::activated,
                         [this, fd] { Serve(fd); });
        peer->limit = std::make_unique<QTimer>();
        peer->limit->setSingleShot(true);
        QObject::connect(peer->limit.get(), &QTimer::timeout, [this, fd] { Drop(fd); });
        peer->limit->start(kPeerLimitMs);
        mPeers[fd] = std::move(peer);
    }
}

void ClassListener::Serve(int fd) {
    // Quiet first, in case the handler lets events run.
    mPeers[fd]->readable->setEnabled(false);
    mPeers[fd]->limit->stop();
    ServeConnection(fd, mHandler, kReadLimitMs);
    Drop(fd);
}

void ClassListener::Drop(int fd) {
    auto it = mPeers.find(fd);
    if (it == mPeers.end()) return;
    // Deleting a notifier from inside its own signal is not allowed.
    it->second->readable->setEnabled(false);
    it->second->readable.release()->deleteLater();
    it->second->limit.release()->deleteLater();
    mPeers.erase(it);
    close(fd);
    mListen->setEnabled(true);
}
