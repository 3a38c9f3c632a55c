#pragma once

// Work on the rows of a large list shared among the machine's cores.

#include <algorithm>
#include <cstddef>
#include <exception>
#include <thread>
#include <vector>

// How many parts rows are worth dividing into: one per core, and none
// smaller than minimum rows (below that a thread costs more than it saves).
inline size_t PartCount(size_t rows, size_t minimum)
{
    return std::clamp<size_t>(rows / minimum, 1, std::max(1U, std::thread::hardware_concurrency()));
}

// Runs work(part) for every part, the first on this thread and the others
// on threads of their own. What a part throws (memory running out) is thrown
// here, after every thread has ended.
template <typename Work> void RunInParts(size_t parts, Work work)
{
    std::vector<std::exception_ptr> failures(parts);
    {
        std::vector<std::jthread> helpers;
        helpers.reserve(parts);
        for (size_t part = 1; part < parts; ++part) {
            helpers.emplace_back([&, part] {
                try {
                    work(part);
                } catch (...) {
                    failures[part] = std::current_exception();
                }
            });
        }
        try {
            work(0);
        } catch (...) {
            failures[0] = std::current_exception();
        }
    }
    for (const std::exception_ptr &failure : failures) {
        if (failure)
            std::rethrow_exception(failure);
    }
}
