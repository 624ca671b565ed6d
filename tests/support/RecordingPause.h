#pragma once
// A Pause that records the waits instead of sleeping, so loops run at once.

#include <vector>

#include "foundation/Pause.h"

namespace nv {

class RecordingPause : public Pause {
public:
    void wait(unsigned milliseconds) override { waits.push_back(milliseconds); }
    std::vector<unsigned> waits;
};

}  // namespace nv
