#include "XvfbServer.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

bool XvfbServer::start()
{
    int fds[2];
    if (pipe(fds) != 0) {
        m_error = std::strerror(errno);
        return false;
    }
    m_pid = fork();
    if (m_pid < 0) {
        m_error = std::strerror(errno);
        close(fds[0]);
        close(fds[1]);
        return false;
    }
    if (m_pid == 0) {
        // Xvfb picks a free display itself and writes its number to fd 3.
        close(fds[0]);
        if (fds[1] != 3) {
            dup2(fds[1], 3);
            close(fds[1]);
        }
        execlp("Xvfb", "Xvfb", "-displayfd", "3", "-screen", "0", "1024x768x24", "-nolisten", "tcp",
               static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);

    std::string number;
    pollfd pfd{fds[0], POLLIN, 0};
    while (poll(&pfd, 1, 20000) > 0) {
        char c;
        const ssize_t n = read(fds[0], &c, 1);
        if (n <= 0 || c == '\n')
            break;
        number += c;
    }
    close(fds[0]);
    if (number.empty()) {
        m_error = "Xvfb did not report a display";
        return false;
    }
    m_display = ":" + number;
    return true;
}

XvfbServer::~XvfbServer()
{
    if (m_pid > 0) {
        kill(m_pid, SIGTERM);
        int status = 0;
        waitpid(m_pid, &status, 0);
    }
}
