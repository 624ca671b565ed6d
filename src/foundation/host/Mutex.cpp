// Recursive like the Windows critical section it stands in for.
#include <mutex>

#include "foundation/Mutex.h"

namespace nv {

struct Mutex::State {
    std::recursive_mutex mutex;
};

Mutex::Mutex() : state_(new State) {}
Mutex::~Mutex() = default;
void Mutex::lock() { state_->mutex.lock(); }
void Mutex::unlock() { state_->mutex.unlock(); }

}  // namespace nv
