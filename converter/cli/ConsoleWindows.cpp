#include "Console.h"

#include <windows.h>

ConsoleSession::ConsoleSession()
{
    // The console belongs to the shell that started us: what is changed here
    // is given back, or the shell's own programs print in the wrong code page
    // afterwards.
    if (const UINT before = GetConsoleOutputCP(); before != 0 && before != CP_UTF8 && SetConsoleOutputCP(CP_UTF8))
        m_codePage = before;
    const HANDLE console = GetStdHandle(STD_ERROR_HANDLE);
    if (DWORD mode = 0; GetConsoleMode(console, &mode) && !(mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING)
                        && SetConsoleMode(console, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING)) {
        m_mode = mode;
        m_modeChanged = true;
    }
}

ConsoleSession::~ConsoleSession()
{
    if (m_codePage != 0)
        SetConsoleOutputCP(m_codePage);
    if (m_modeChanged)
        SetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), m_mode);
}
