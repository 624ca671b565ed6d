#pragma once
// A lock for the few data that two threads share (the clean-up lists). The
// MinGW builds have no std::mutex, so each platform half supplies it.

#include <memory>

namespace nv {

class Mutex {
public:
    Mutex();
    ~Mutex();
    Mutex(const Mutex&) = delete;
    Mutex& operator=(const Mutex&) = delete;

    void lock();
    void unlock();

private:
    struct State;
    std::unique_ptr<State> state_;
};

// Holds a Mutex for its scope.
class MutexLock {
public:
    explicit MutexLock(Mutex& mutex) : mutex_(mutex) { mutex_.lock(); }
    ~MutexLock() { mutex_.unlock(); }
    MutexLock(const MutexLock&) = delete;
    MutexLock& operator=(const MutexLock&) = delete;

private:
    Mutex& mutex_;
};

}  // namespace nv
