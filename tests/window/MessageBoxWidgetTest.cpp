// The window program's message box behind the engine's MsgBox.
#include "window/MessageBoxWidget.h"
#include "platform/MsgBox.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

TEST(MessageBoxWidget, ShowsTheTextIconAndButtonsOverTheShownWindowAndReturnsTheAnswer)
{
    QWidget window;
    window.show();
    InstallMessageBoxWidget(&window);
    const struct {
        MsgIcon icon;
        MsgButtons buttons;
        QString title, caption;
        QMessageBox::Icon shown;
        QMessageBox::StandardButton click;
        bool answer;
    } rows[] = {{MsgIcon::Stop, MsgButtons::Ok, "Error", "Error", QMessageBox::Critical, QMessageBox::Ok, true},
                {MsgIcon::Question, MsgButtons::YesNo, "", QApplication::applicationName(), QMessageBox::Question,
                 QMessageBox::No, false},
                {MsgIcon::Warning, MsgButtons::YesNo, "", QApplication::applicationName(), QMessageBox::Warning,
                 QMessageBox::Yes, true}};
    for (const auto& r : rows) {
        QString seen;
        // The box is modal: look at it from inside its own event loop, then answer.
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            seen =
                QStringList{box->windowTitle(), box->text(), QString::number(box->icon()),
                            QString::number(box->standardButtons()), box->parentWidget() == &window ? "over" : "alone"}
                    .join('|');
            box->button(r.click)->click();
        });
        EXPECT_EQ(MsgBox("text", r.icon, r.buttons, r.title), r.answer);
        const auto buttons = r.buttons == MsgButtons::Ok ? QMessageBox::Ok : QMessageBox::Yes | QMessageBox::No;
        EXPECT_EQ(
            seen,
            QStringList({r.caption, "text", QString::number(r.shown), QString::number(buttons), "over"}).join('|'));
    }
    SetMsgBoxHandler({});
}
