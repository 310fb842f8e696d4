#pragma once
// HTTP GET for the host and its modules (libcurl). Every transfer is bounded:
// a connect timeout, a total timeout and a cap on the response size, so a
// dead, silent or runaway server ends a request in seconds. Callers on the
// user-interface thread run it on a worker thread and may cancel it.

#include <atomic>
#include <chrono>
#include <cstddef>
#include <string>

namespace cadhost {

struct HttpOptions {
    std::chrono::milliseconds connectTimeout{5000};
    std::chrono::milliseconds totalTimeout{15000};
    std::size_t maxBytes = std::size_t{1} << 20;
    // Set by another thread to end the transfer early (outcome Cancelled).
    const std::atomic<bool>* cancel = nullptr;
};

enum class HttpOutcome {
    Ok,            // a 2xx answer, body complete
    HttpError,     // the server answered with a status of 300 or more
    BadAddress,    // not an http:// or https:// address, or malformed
    ConnectFailed, // name not resolved, connection refused or not made in time
    TimedOut,      // connected, but the answer did not complete in time
    TooLarge,      // the answer exceeds maxBytes (body holds nothing)
    Cancelled,
    Failed, // any other transfer error
};

struct HttpResponse {
    HttpOutcome outcome = HttpOutcome::Failed;
    long status = 0;         // the HTTP status when the server answered
    std::string body;        // the answer's bytes (empty unless Ok or HttpError)
    std::string contentType; // as the server sent it
    std::string error;       // why it failed, one line; empty when Ok
    bool ok() const { return outcome == HttpOutcome::Ok; }
};

// Fetches address; redirects (at most 5, http and https only) are followed.
// Thread-safe: any number of threads may call it at once.
HttpResponse httpGet(const std::string& address, const HttpOptions& options = {});

} // namespace cadhost
