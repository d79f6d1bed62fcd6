#include "platform/MsgBox.h"

#include <QCoreApplication>
#include <cstdio>
#include <utility>

namespace {

// Without a window to show it in, the message goes where someone can read it;
// nobody answers OK or Yes.
bool printMsgBox(const QString& text, MsgIcon, MsgButtons, const QString& title)
{
    const QString caption = title.isEmpty() ? QCoreApplication::applicationName() : title;
    std::fprintf(stderr, "%s: %s\n", qPrintable(caption), qPrintable(text));
    return false;
}

MsgBoxHandler& handler()
{
    static MsgBoxHandler h = printMsgBox;
    return h;
}

} // namespace

QString MsgLineBreak()
{
#ifdef Q_OS_WIN
    return QStringLiteral("\r\n");
#else
    return QStringLiteral("\n");
#endif
}

bool MsgBox(const QString& text, MsgIcon icon, MsgButtons buttons, const QString& title)
{
    return handler()(text, icon, buttons, title);
}

MsgBoxHandler SetMsgBoxHandler(MsgBoxHandler h)
{
    return std::exchange(handler(), h ? std::move(h) : MsgBoxHandler(printMsgBox));
}
