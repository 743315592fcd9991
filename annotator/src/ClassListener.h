// Serves a window class's socket from the Qt event loop without ever
// waiting on a peer: connections are accepted as they come and each is read
// only once its frame is there; one that sends nothing is dropped after a
// second.
#pragma once

#include <map>
#include <memory>

#include "platform/win/WindowClass.h"

class QSocketNotifier;
class QTimer;

class ClassListener {
  public:
    ClassListener(platform::win::WindowClassOwner& owner,
                  platform::win::WindowClassOwner::Handler handler);
    ~ClassListener();
    ClassListener(const ClassListener&) = delete;
    ClassListener& operator=(const ClassListener&) = delete;

  private:
    struct Peer;
    void AcceptPending();
    void Serve(int fd);
    void Drop(int fd);

    platform::win::WindowClassOwner::Handler mHandler;
    std::unique_ptr<QSocketNotifier> mListen;
    std::map<int, std::unique_ptr<Peer>> mPeers;
};
