#include "engine/platform/MsgBox.h"

#include <QApplication>
#include <QMessageBox>
#include <cstdio>
#include <utility>

namespace {

bool realMsgBox(const QString& text, MsgIcon icon, MsgButtons buttons, const QString& title)
{
    const QString caption = title.isEmpty() ? QApplication::applicationName() : title;
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
        // No window system: say it where someone can read it.
        std::fprintf(stderr, "%s: %s\n", qPrintable(caption), qPrintable(text));
        return false;
    }
    QMessageBox box(QMessageBox::NoIcon, caption, text,
                    buttons == MsgButtons::YesNo ? QMessageBox::Yes | QMessageBox::No
                                                 : QMessageBox::Ok);
    switch (icon) {
    case MsgIcon::Stop: box.setIcon(QMessageBox::Critical); break;
    case MsgIcon::Question: box.setIcon(QMessageBox::Question); break;
    case MsgIcon::Warning: box.setIcon(QMessageBox::Warning); break;
    case MsgIcon::Information: box.setIcon(QMessageBox::Information); break;
    case MsgIcon::None: break;
    }
    const int answer = box.exec();
    return answer == QMessageBox::Ok || answer == QMessageBox::Yes;
}

MsgBoxHandler& handler()
{
    static MsgBoxHandler h = realMsgBox;
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
    return std::exchange(handler(), h ? std::move(h) : MsgBoxHandler(realMsgBox));
}
