#pragma once

#include <QProcess>
#include <string>

// A private X server for one test run, stopped (and reaped) on destruction.
class XvfbServer {
public:
    ~XvfbServer();

    bool start();
    const std::string& display() const { return m_display; } // ":<number>"
    const std::string& error() const { return m_error; }

private:
    QProcess m_process;
    std::string m_display;
    std::string m_error;
};
