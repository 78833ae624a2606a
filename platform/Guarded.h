// Guarded.h: runs a platform call and turns an escaping exception into a result code, so that
// nothing is thrown out of platform/. Used inside platform/ only.
#pragma once

#include "platform/WinError.h"

#include <new>

namespace platform {

template <typename Fn> WinError guarded(Fn&& fn) noexcept
{
    try {
        return fn();
    } catch (const std::bad_alloc&) {
        return WinError::NotEnoughMemory;
    } catch (...) {
        return WinError::GenFailure;
    }
}

} // namespace platform
