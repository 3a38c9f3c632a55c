#pragma once

#include "core/failure.h"

#include <QString>

// The failure message of fn, or an empty text when it raised none.
template <typename Fn> QString failureOf(Fn fn)
{
    try {
        fn();
    } catch (const Failure &failure) {
        return failure.message();
    }
    return {};
}
