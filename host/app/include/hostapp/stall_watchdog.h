#pragma once
// The last resort against a stuck script run: a thread of its own that fires
// when nothing reported progress for too long. The script runner's own check
// runs in the event loop and ends a run cleanly; this one still fires when a
// runaway line keeps the event loop from turning at all.

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace hostapp {

class StallWatchdog {
public:
    // fire gets where the run was stuck; it runs on the watchdog's thread,
    // at most once per arming. The default writes the reason to standard
    // error and ends the process with exit status 1.
    using Fire = std::function<void(const std::string& where)>;
    explicit StallWatchdog(std::chrono::milliseconds limit, Fire fire = {});
    ~StallWatchdog();
    StallWatchdog(const StallWatchdog&) = delete;
    StallWatchdog& operator=(const StallWatchdog&) = delete;

    // Starts (or restarts) the clock; `where` names what is being worked on.
    void progress(std::string where);
    // Nothing to watch until the next progress().
    void disarm();

private:
    void run();

    std::chrono::milliseconds m_limit;
    Fire m_fire;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_armed = false;
    bool m_stop = false;
    std::chrono::steady_clock::time_point m_since;
    std::string m_where;
    std::thread m_thread;
};

} // namespace hostapp
