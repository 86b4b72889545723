// The run-time error number a call raises, 0 when it raises none.
#pragma once

#include "platform/errors.h"

#include <functional>

namespace vt::test {

inline int errorOf(const std::function<void()> &body)
{
    try {
        body();
    } catch (const RtError &e) {
        return e.number;
    }
    return 0;
}

} // namespace vt::test
