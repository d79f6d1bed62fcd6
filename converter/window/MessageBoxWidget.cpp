#include "window/MessageBoxWidget.h"

#include "platform/MsgBox.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>

void InstallMessageBoxWidget(QWidget* owner)
{
    SetMsgBoxHandler([owner = QPointer<QWidget>(owner)](const QString& text, MsgIcon icon, MsgButtons buttons,
                                                        const QString& title) {
        const QString caption = title.isEmpty() ? QApplication::applicationName() : title;
        QMessageBox box(QMessageBox::NoIcon, caption, text,
                        buttons == MsgButtons::YesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok,
                        owner && owner->isVisible() ? owner.data() : nullptr);
        switch (icon) {
        case MsgIcon::Stop: box.setIcon(QMessageBox::Critical); break;
        case MsgIcon::Question: box.setIcon(QMessageBox::Question); break;
        case MsgIcon::Warning: box.setIcon(QMessageBox::Warning); break;
        case MsgIcon::Information: box.setIcon(QMessageBox::Information); break;
        case MsgIcon::None: break;
        }
        const int answer = box.exec();
        return answer == QMessageBox::Ok || answer == QMessageBox::Yes;
    });
}
