// A critical section: recursive, so a clean-up that records a file (the
// batch file) while it holds the lock does not deadlock.
#include <windows.h>

#include "foundation/Mutex.h"

namespace nv {

struct Mutex::State {
    CRITICAL_SECTION section;
};

Mutex::Mutex() : state_(new State) { InitializeCriticalSection(&state_->section); }
Mutex::~Mutex() { DeleteCriticalSection(&state_->section); }
void Mutex::lock() { EnterCriticalSection(&state_->section); }
void Mutex::unlock() { LeaveCriticalSection(&state_->section); }

}  // namespace nv
