// Keeps C++ exceptions out of the host: a host written in C cannot unwind through them.
#pragma once

#include <exception>
#include <utility>

namespace tarvosk {

// Logs a failure that reached the plug-in's edge (to our log and the host's).
void ReportFailure(const char* where, const char* what) noexcept;

// Runs `body`; on an exception, reports it and returns `onFailure`.
template <typename Result, typename Body>
Result Guarded(const char* where, Result onFailure, Body&& body) noexcept {
    try {
        return std::forward<Body>(body)();
    } catch (const std::exception& e) {
        ReportFailure(where, e.what());
    } catch (...) {
        ReportFailure(where, "unknown exception");
    }
    return onFailure;
}

template <typename Body>
void Guarded(const char* where, Body&& body) noexcept {
    Guarded(where, 0, [&] {
        std::forward<Body>(body)();
        return 0;
    });
}

}  // namespace tarvosk
