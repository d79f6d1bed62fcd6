// FrmMain without a mouse: the order Tab follows, the keys and shortcuts of
// the controls, the focus ring, and what assistive tools are told of each
// control.
#include "window/FrmMain.h"

#include "window/FocusRing.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QKeyEvent>
#include <algorithm>
#include <functional>

namespace {

// Hands the key presses of a control to a handler before the control sees
// them; the handler answers true for the keys it has taken.
class KeyFilter : public QObject {
public:
    KeyFilter(QObject* target, std::function<bool(const QKeyEvent&)> handler)
        : QObject(target), m_handler(std::move(handler))
    {
        target->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        return event->type() == QEvent::KeyPress && m_handler(static_cast<const QKeyEvent&>(*event));
    }

private:
    std::function<bool(const QKeyEvent&)> m_handler;
};

void onKeyPress(QWidget* control, std::function<bool(const QKeyEvent&)> handler)
{
    new KeyFilter(control, std::move(handler)); // owned by the control
}

// On the main keyboard or the keypad.
bool isEnterKey(const QKeyEvent& event)
{
    return event.key() == Qt::Key_Enter || event.key() == Qt::Key_Return;
}

// The track of the quality slider, told as a slider whose value is the
// quality, that is the number of LblQuality's caption.
class QualitySliderAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit QualitySliderAccessible(QWidget* track) : QAccessibleWidget(track, QAccessible::Slider) {}

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value && form())
            return form()->LblQuality->text();
        return QAccessibleWidget::text(t);
    }
    QVariant currentValue() const override { return form() ? form()->quality() : QVariant(); }
    void setCurrentValue(const QVariant& value) override
    {
        if (form())
            form()->moveQuality(value.toInt());
    }
    QVariant maximumValue() const override { return 100; }
    QVariant minimumValue() const override { return 0; }
    QVariant minimumStepSize() const override { return 1; }

private:
    // None while the window is being taken down.
    FrmMain* form() const { return dynamic_cast<FrmMain*>(widget()->window()); }
};

// A label that opens a web page when clicked, told as a link to press.
class LinkAccessible : public QAccessibleWidget {
public:
    explicit LinkAccessible(MouseLabel* label) : QAccessibleWidget(label, QAccessible::Link) {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return static_cast<QLabel*>(widget())->text();
        return QAccessibleWidget::text(t);
    }
    QStringList actionNames() const override { return QStringList(pressAction()) + QAccessibleWidget::actionNames(); }
    void doAction(const QString& action) override
    {
        auto* label = static_cast<MouseLabel*>(widget());
        if (action == pressAction() && label->onClick)
            label->onClick();
        else
            QAccessibleWidget::doAction(action);
    }
};

QAccessibleInterface* accessibleControl(const QString&, QObject* object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    auto* widget = static_cast<QWidget*>(object);
    if (widget->objectName() == QLatin1String("LblBack"))
        return new QualitySliderAccessible(widget);
    if (auto* label = dynamic_cast<MouseLabel*>(widget); label && label->onClick)
        return new LinkAccessible(label);
    return nullptr;
}

// A label announces its text while it is being built, before it is known
// for what it is; the interface made then is dropped, so that the next one
// asked for comes from accessibleControl.
void forgetAccessible(QWidget* widget)
{
    QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(QAccessible::queryAccessibleInterface(widget)));
}

struct Described {
    QWidget* control;
    const char* objectName;
    const char* name;
    const char* description;
};

} // namespace

void FrmMain::buildKeyboard()
{
    static const bool factoryInstalled = (QAccessible::installFactory(accessibleControl), true);
    Q_UNUSED(factoryInstalled);

    // In the order Tab follows.
    const Described worked[] = {
        {CmdInPath, "CmdInPath", "Input directory", "Choose the folder of the game's screenshots (Alt+I)"},
        {CmdOutPath, "CmdOutPath", "Output directory", "Choose the folder the JPEG files go to (Alt+O)"},
        {LblBack, "LblBack", "JPEG quality",
         "Arrows move it by 1, Page Up and Page Down by 10, Home and End go to 0 and 100"},
        {chkDel, "chkDel", "Delete screenshots after conversion", "Delete originals screenshots after conversion"},
        {FileList, "FileList", "Screenshots", "BMP files in the input directory; Enter opens the selected one"},
        {CmdGo, "CmdGo", "Convert", "Convert ScreenShots into JPEGs (Alt+C)"},
        {CmdAbout, "CmdAbout", "About", "Who made Framewright (F1)"},
        {LblURLQuenk, "LblURLQuenk", "Makers' web page", "Opens the makers' web page in the browser"},
        {lblURLSponso, "lblURLSponso", "Sponsor's web page", "Opens the sponsor's web page in the browser"},
        {CmdMin, "CmdMin", "Minimise", "Reduce window"},
        {CmdExit, "CmdExit", "Close", "Saves the settings and ends Framewright"},
    };
    // Read, not worked: Tab passes them by. A path label's name is the path.
    const Described read[] = {
        {lblInPath, "lblInPath", "", "Input directory; a double-click opens it in the file manager"},
        {lblOutPath, "lblOutPath", "", "Output directory; a double-click opens it in the file manager"},
        {LblQuality, "LblQuality", "", "The JPEG quality in per cent"},
        {ImgPreview, "ImgPreview", "Preview", "The selected screenshot; a double-click opens it"},
        {Lstinfo, "Lstinfo", "Progress", "Welcome text and the progress of the conversion"},
    };
    const auto describe = [](const Described& d) {
        d.control->setObjectName(QString::fromLatin1(d.objectName));
        d.control->setAccessibleName(QString::fromLatin1(d.name));
        d.control->setAccessibleDescription(QString::fromLatin1(d.description));
    };
    std::for_each(std::begin(worked), std::end(worked), describe);
    std::for_each(std::begin(read), std::end(read), describe);
    CmdAbout->setToolTip(QStringLiteral("About Framewright"));

    // The slider and the web labels, like the picture buttons, take the
    // focus by the keyboard only: a click leaves it where it was, as ever.
    for (QWidget* label : std::initializer_list<QWidget*>{LblBack, LblURLQuenk, lblURLSponso}) {
        label->setFocusPolicy(Qt::TabFocus);
        forgetAccessible(label);
    }
    // Tab starts from the window itself, so that its first press reaches
    // the first control.
    for (const Described& d : worked)
        m_tabOrder.push_back(d.control);
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
    onKeyPress(LblBack, [this](const QKeyEvent& e) { return qualityKey(e.key()); });
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

bool FrmMain::qualityKey(int key)
{
    const int now = quality();
    switch (key) {
    case Qt::Key_Left: moveQuality(now - 1); return true;
    case Qt::Key_Right: moveQuality(now + 1); return true;
    case Qt::Key_PageDown: moveQuality(now - 10); return true;
    case Qt::Key_PageUp: moveQuality(now + 10); return true;
    case Qt::Key_Home: moveQuality(0); return true;
    case Qt::Key_End: moveQuality(100); return true;
    default: return false;
    }
}
