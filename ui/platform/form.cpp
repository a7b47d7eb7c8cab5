#include "form.h"

#include "arrowkeys.h"
#include "canvas.h"
#include "host.h"
#include "look.h"
#include "mousemove.h"
#include "units.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAction>
#include <QMainWindow>
#include <QMenuBar>

#include <stdexcept>

namespace platform {

// Each accessible text handed to the toolkit costs it an accessibility event and an interface for
// the control, a few per cent of the window's start-up: the texts go to it only while an assistive
// technology listens, which may begin after the window is built.
class AccessibilityObserver : public QAccessible::ActivationObserver {
public:
    explicit AccessibilityObserver(std::function<void()> describe)
        : m_describe(std::move(describe))
    {
        QAccessible::installActivationObserver(this);
        if (QAccessible::isActive())
            m_describe();
    }
    ~AccessibilityObserver() override { QAccessible::removeActivationObserver(this); }
    AccessibilityObserver(const AccessibilityObserver &) = delete;
    AccessibilityObserver &operator=(const AccessibilityObserver &) = delete;

    void accessibilityActiveChanged(bool active) override
    {
        if (active)
            m_describe();
    }

private:
    std::function<void()> m_describe;
};

Form::Form(const FormDesign &design)
    : m_window(std::make_unique<QMainWindow>())
    , m_description(design.accessibleDescription)
{
    m_window->setObjectName(ToQString(design.name));
    m_window->setWindowTitle(ToQString(design.caption));
    // A fixed background brings a palette of its own, so that text left in the platform's colour
    // stays readable on it whatever the desktop's theme; otherwise the theme's palette holds.
    if (design.backColor)
        m_window->setPalette(QPalette(ToQRgb(*design.backColor), ToQRgb(*design.backColor)));
    m_foreground = ToColour(m_window->palette().color(QPalette::WindowText).rgb());

    m_canvas = new Canvas(m_window.get());
    m_canvas->setObjectName(QStringLiteral("ClientArea"));
    m_window->setCentralWidget(m_canvas);
    SetControlsFont(m_canvas);
    AddControls(design);

    const int clientWidth = PixelPosition(design.clientWidth);
    int menuHeight = 0;
    if (!design.menu.empty()) {
        QMenuBar *bar = m_window->menuBar();
        bar->setNativeMenuBar(false); // the menu bar belongs to the window, above its client area
        for (const MenuItemDesign &item : design.menu)
            bar->addAction(ToQString(item.caption))->setObjectName(ToQString(item.name));
        // The height the window's layout gives the bar at this width: under some styles (Windows)
        // it is not the bar's size hint.
        menuHeight = bar->heightForWidth(clientWidth);
        if (menuHeight < 0)
            menuHeight = bar->sizeHint().height();
    }
    PlaceWindow(m_window.get(), { clientWidth, PixelPosition(design.clientHeight) + menuHeight });
    m_accessibility = std::make_unique<AccessibilityObserver>([this] { Describe(); });
}

void Form::Describe()
{
    m_window->setAccessibleDescription(ToQString(m_description));
    for (auto &[name, control] : m_controls)
        control.Describe();
}

Form::~Form() = default;

void Form::AddControls(const FormDesign &design)
{
    std::multimap<int, QWidget *> tabOrder; // in creation order where tab indices are equal
    for (const ControlDesign &item : design.controls) {
        QWidget *widget = CreateWidget(item.kind, ToQString(item.caption), m_canvas, item.marker);
        std::string name(item.name); // "Text_x", or "Command1(5)" for an element of an array
        if (item.index >= 0)
            name += '(' + std::to_string(item.index) + ')';
        widget->setObjectName(QString::fromStdString(name));
        Control &created = m_controls.try_emplace(name, widget, item).first->second;
        ApplyLook(widget, item);
        if (item.index >= 0) {
            ControlArray &array = m_arrays[std::string(item.name)];
            array.m_elements[item.index] = &created;
            new MouseMoveFilter(array.m_mouseMove, item.index, created, widget);
            if (item.marker)
                new ArrowKeyFilter(array.m_mouseMove, item.index, created, widget);
        }
        if (widget->focusPolicy() != Qt::NoFocus)
            tabOrder.emplace(item.tabIndex, widget);
    }
    // Buttons lie above text boxes and labels, in their own creation order, so that a button
    // moved onto a text box can still be pressed there.
    for (QAbstractButton *button :
        m_canvas->findChildren<QAbstractButton *>(Qt::FindDirectChildrenOnly))
        button->raise();

    QWidget *previous = nullptr;
    for (const auto &[index, widget] : tabOrder) {
        if (previous)
            QWidget::setTabOrder(previous, widget);
        else
            widget->setFocus(); // focus starts at the lowest tab index
        previous = widget;
    }
}

void Form::Show()
{
    ShowWindow(m_window.get());
    m_window->raise();
    m_window->activateWindow();
}

bool Form::Visible() const
{
    return m_window->isVisible();
}

void Form::Cls()
{
    m_canvas->Cls();
    m_currentX = 0;
    m_currentY = 0;
}

void Form::Line(float x1, float y1, float x2, float y2, Colour colour)
{
    Draw(x1, y1, x2, y2, colour);
}

void Form::Line(float x2, float y2)
{
    Draw(m_currentX, m_currentY, x2, y2, m_foreground);
}

void Form::PSet(float x, float y)
{
    Draw(x, y, x, y, m_foreground);
}

void Form::Draw(float x1, float y1, float x2, float y2, Colour colour)
{
    m_canvas->Line({ ToPixels(x1, y1), ToPixels(x2, y2) }, ToQRgb(colour));
    m_currentX = x2;
    m_currentY = y2;
}

Control &Form::Controls(std::string_view name)
{
    return m_controls.at(std::string(name));
}

ControlArray &Form::ControlArrays(std::string_view name)
{
    return m_arrays.at(std::string(name));
}

void Form::OnClick(std::string_view menuItem, std::function<void()> handler)
{
    auto *action = m_window->menuBar()->findChild<QAction *>(ToQString(menuItem));
    if (!action)
        throw std::out_of_range("no menu item named " + std::string(menuItem));
    QObject::connect(action, &QAction::triggered, m_window.get(), std::move(handler));
}

} // namespace platform
