#include "hostapp/stall_watchdog.h"

#include <cstdio>
#include <cstdlib>

namespace hostapp {

StallWatchdog::StallWatchdog(std::chrono::milliseconds limit, Fire fire)
    : m_limit(limit), m_fire(std::move(fire)) {
    if (!m_fire) {
        m_fire = [limit](const std::string& where) {
            std::fprintf(stderr,
                         "cadhost: script failed: %s: no progress for %lld s (the host is busy "
                         "and does not answer)\n",
                         where.c_str(),
                         static_cast<long long>(
                             std::chrono::duration_cast<std::chrono::seconds>(limit).count()));
            std::fflush(stderr);
            std::fflush(stdout);
            std::_Exit(1);
        };
    }
    m_thread = std::thread([this] { run(); });
}

StallWatchdog::~StallWatchdog() {
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    m_thread.join();
}

void StallWatchdog::progress(std::string where) {
    {
        std::lock_guard lock(m_mutex);
        m_armed = true;
        m_since = std::chrono::steady_clock::now();
        m_where = std::move(where);
    }
    // The watching thread sleeps without a deadline while disarmed.
    m_wake.notify_all();
}

void StallWatchdog::disarm() {
    std::lock_guard lock(m_mutex);
    m_armed = false;
}

void StallWatchdog::run() {
    std::unique_lock lock(m_mutex);
    while (!m_stop) {
        if (!m_armed) {
            m_wake.wait(lock);
            continue;
        }
        const auto due = m_since + m_limit;
        if (std::chrono::steady_clock::now() < due) {
            m_wake.wait_until(lock, due);
            continue;
        }
        m_armed = false;
        const std::string where = m_where;
        lock.unlock();
        m_fire(where);
        lock.lock();
    }
}

} // namespace hostapp
