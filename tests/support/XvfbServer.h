#pragma once

#include <string>
#include <sys/types.h>

// A private X server for one test run, stopped (and reaped) on destruction.
class XvfbServer {
public:
    XvfbServer() = default;
    ~XvfbServer();
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    bool start();
    const std::string& display() const { return m_display; } // ":<number>"
    const std::string& error() const { return m_error; }

private:
    pid_t m_pid = -1;
    std::string m_display;
    std::string m_error;
};
