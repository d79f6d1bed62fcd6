// FrmMain without a mouse: the order Tab follows, the keys and shortcuts of
// the controls, and the focus ring.
#include "window/FrmMain.h"

#include "window/FocusRing.h"
#include "window/KeyFilter.h"
#include "window/QualitySlider.h"
#include "window/controls/FileListBox.h"
#include "window/controls/MouseLabel.h"
#include "window/controls/PictureButton.h"
#include "window/controls/WrapCheckBox.h"

#include <QKeyEvent>
#include <algorithm>

namespace {

// On the main keyboard or the keypad.
bool isEnterKey(const QKeyEvent& event) { return event.key() == Qt::Key_Enter || event.key() == Qt::Key_Return; }

} // namespace

void FrmMain::buildKeyboard()
{
    // The web labels, like the picture buttons, take the focus by the
    // keyboard only: a click leaves it where it was, as ever.
    for (QWidget* label : {LblURLQuenk, lblURLSponso})
        label->setFocusPolicy(Qt::TabFocus);
    // In the order Tab follows. Tab starts from the window itself, so that
    // its first press reaches the first control.
    m_tabOrder = {CmdInPath, CmdOutPath,  m_slider->track(), chkDel, FileList, CmdGo,
                  CmdAbout,  LblURLQuenk, lblURLSponso,      CmdMin, CmdExit};
    setFocus();
    new FocusRing(this);

    CmdInPath->setShortcut(QKeySequence(Qt::ALT | Qt::Key_I));
    CmdOutPath->setShortcut(QKeySequence(Qt::ALT | Qt::Key_O));
    CmdGo->setShortcut(QKeySequence(Qt::ALT | Qt::Key_C));
    CmdAbout->setShortcut(QKeySequence(Qt::Key_F1));

    // Space works a button by itself; Enter does too.
    for (PictureButton* b : {CmdInPath, CmdOutPath, CmdGo, CmdAbout, CmdMin, CmdExit})
        onKeyPress(b, [b](const QKeyEvent& e) {
            if (!isEnterKey(e))
                return false;
            b->click();
            return true;
        });
    for (MouseLabel* url : {LblURLQuenk, lblURLSponso})
        onKeyPress(url, [url](const QKeyEvent& e) {
            if (!isEnterKey(e) && e.key() != Qt::Key_Space)
                return false;
            url->onClick();
            return true;
        });
    onKeyPress(FileList, [this](const QKeyEvent& e) {
        if (!isEnterKey(e))
            return false;
        FileList_DblClick();
        return true;
    });
}

// Tab, and the arrows on a button, come here. Qt's own chain follows the
// order in which the controls were made (back to front on the skin), and
// Qt 6.4's setTabOrder left it out of order here: the window keeps its own.
bool FrmMain::focusNextPrevChild(bool next)
{
    const auto n = static_cast<std::ptrdiff_t>(m_tabOrder.size());
    const auto at = std::find(m_tabOrder.begin(), m_tabOrder.end(), focusWidget());
    std::ptrdiff_t i = at != m_tabOrder.end() ? at - m_tabOrder.begin() : next ? -1 : n;
    for (std::ptrdiff_t tried = 0; tried < n; ++tried) {
        i = (i + (next ? 1 : n - 1)) % n;
        QWidget* control = m_tabOrder[static_cast<std::size_t>(i)];
        if (control->isEnabled() && control->isVisible()) {
            control->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return true;
        }
    }
    return false;
}
