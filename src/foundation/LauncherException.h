#pragma once
// The one error type that crosses subsystems: a finished message, ready for
// the user and the run log.

#include "foundation/LauncherString.h"

namespace nv {

class LauncherException {
public:
    explicit LauncherException(const LauncherString& message) : message_(message) {}
    virtual ~LauncherException() = default;
    const LauncherString& message() const { return message_; }

private:
    LauncherString message_;
};

}  // namespace nv
