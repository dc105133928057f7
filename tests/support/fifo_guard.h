#pragma once
// A FIFO for tests of code that must never open one: when the code under test
// still waits on it after a while, the guard opens the other end so that the
// test ends (and fails) instead of hanging.

#include <QFile>
#include <QString>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

class FifoGuard {
public:
    explicit FifoGuard(const QString &path) : m_path(QFile::encodeName(path)) {
        m_made = mkfifo(m_path.constData(), 0600) == 0;
        m_thread = std::thread([this] {
            std::unique_lock<std::mutex> lock(m_mutex);
            if (m_wake.wait_for(lock, std::chrono::seconds(10), [this] { return m_done; }))
                return;
            // Still waiting: someone has it open for reading (or waits to): let it through.
            for (int attempt = 0; attempt < 100 && !m_done; ++attempt) {
                const int fd = ::open(m_path.constData(), O_WRONLY | O_NONBLOCK);
                if (fd >= 0) {
                    m_unblocked = true;
                    ::close(fd);
                }
                m_wake.wait_for(lock, std::chrono::milliseconds(100), [this] { return m_done; });
            }
        });
    }
    ~FifoGuard() { finish(); }

    bool made() const { return m_made; }
    // Ends the watch; true when the code under test had to be let through.
    bool finish() {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_done = true;
        }
        m_wake.notify_all();
        if (m_thread.joinable())
            m_thread.join();
        return m_unblocked;
    }

private:
    QByteArray m_path;
    bool m_made = false;
    std::thread m_thread;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_done = false;
    std::atomic<bool> m_unblocked{false};
};
#endif
