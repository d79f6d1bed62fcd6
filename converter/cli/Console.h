#pragma once

// The terminal the converter writes its lines to, set up for the length of a
// run and given back as it was found: on Windows the console's code page
// (UTF-8, so that a name in any script shows) and its terminal mode (for the
// progress bar's escapes). Nothing to do elsewhere.
class ConsoleSession {
public:
    ConsoleSession();
    ~ConsoleSession();
    ConsoleSession(const ConsoleSession&) = delete;
    ConsoleSession& operator=(const ConsoleSession&) = delete;

private:
    unsigned int m_codePage = 0; // 0: not changed
    unsigned long m_mode = 0;
    bool m_modeChanged = false;
};
