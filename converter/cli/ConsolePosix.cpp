#include "Console.h"

// A POSIX terminal takes UTF-8 and the escapes as it is.
ConsoleSession::ConsoleSession() = default;

ConsoleSession::~ConsoleSession() = default;
