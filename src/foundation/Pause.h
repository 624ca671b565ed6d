#pragma once
// The waits of poll and retry loops, behind one seam: the launcher sleeps,
// tests record the waits instead and run at once.

namespace nv {

class Pause {
public:
    virtual ~Pause() = default;
    virtual void wait(unsigned milliseconds) = 0;
};

// The system's sleep (not alertable). Shared by the whole process.
Pause& systemPause();

}  // namespace nv
