#include "form.h"

#include "arrowkeys.h"
#include "canvas.h"
#include "control_peer.h"
#include "look.h"
#include "mousemove.h"
#include "units.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAction>
#include <QMainWindow>
#include <QMenuBar>

#include <algorithm>
#include <stdexcept>
#include <vector>

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

struct Form::Peer {
    // One of each for all the elements of the window's arrays; they outlive the widgets they watch.
    std::unique_ptr<MouseMoveFilter> mouseMoves = std::make_unique<MouseMoveFilter>(nullptr);
    std::unique_ptr<ArrowKeyFilter> arrowKeys = std::make_unique<ArrowKeyFilter>(nullptr);
    std::unique_ptr<QMainWindow> window;
    Canvas *canvas = nullptr;
    QRgb foreground = 0;
    std::string_view description; // the window's accessible description
    std::unique_ptr<AccessibilityObserver> accessibility; // goes first, before the controls
};

namespace {

// The design's accessible texts, handed to the toolkit's accessibility.
void Describe(const Form::Peer &peer, std::map<std::string, Control> &controls)
{
    peer.window->setAccessibleDescription(ToQString(peer.description));
    for (auto &[name, control] : controls)
        control.Describe();
}

} // namespace

Form::Form(const FormDesign &design)
    : m_peer(std::make_unique<Peer>())
{
    m_peer->window = std::make_unique<QMainWindow>();
    m_peer->description = design.accessibleDescription;
    QMainWindow *const window = m_peer->window.get();
    window->setObjectName(ToQString(design.name));
    window->setWindowTitle(ToQString(design.caption));
    // A fixed background brings a palette of its own, so that text left in the platform's colour
    // stays readable on it whatever the desktop's theme; otherwise the theme's palette holds.
    if (design.backColor)
        window->setPalette(QPalette(ToQRgb(*design.backColor), ToQRgb(*design.backColor)));
    m_peer->foreground = window->palette().color(QPalette::WindowText).rgb();
    // The native window first: a control placed in it then finds its screen through it, where
    // without one the toolkit searches the screens for each font and metric a new control resolves.
    window->winId();

    m_peer->canvas = new Canvas(window);
    m_peer->canvas->setObjectName(QStringLiteral("ClientArea"));
    window->setCentralWidget(m_peer->canvas);
    SetControlsFont(m_peer->canvas);
    AddControls(design);

    const int clientWidth = PixelPosition(design.clientWidth);
    int menuHeight = 0;
    if (!design.menu.empty()) {
        QMenuBar *bar = window->menuBar();
        bar->setNativeMenuBar(false); // the menu bar belongs to the window, above its client area
        for (const MenuItemDesign &item : design.menu)
            bar->addAction(ToQString(item.caption))->setObjectName(ToQString(item.name));
        // The height the window's layout gives the bar at this width: under some styles (Windows)
        // it is not the bar's size hint.
        menuHeight = bar->heightForWidth(clientWidth);
        if (menuHeight < 0)
            menuHeight = bar->sizeHint().height();
    }
    window->resize(clientWidth, PixelPosition(design.clientHeight) + menuHeight);
    m_peer->accessibility
        = std::make_unique<AccessibilityObserver>([this] { Describe(*m_peer, m_controls); });
}

Form::~Form() = default;

void Form::AddControls(const FormDesign &design)
{
    std::multimap<int, QWidget *> tabOrder; // in creation order where tab indices are equal
    std::vector<QWidget *> beneath; // text boxes and labels
    for (const ControlDesign &item : design.controls) {
        QWidget *widget
            = CreateWidget(item.kind, ToQString(item.caption), m_peer->canvas, item.marker);
        std::string name(item.name); // "Text_x", or "Command1(5)" for an element of an array
        if (item.index >= 0)
            name += '(' + std::to_string(item.index) + ')';
        widget->setObjectName(QString::fromStdString(name));
        Control &created = m_controls
                               .try_emplace(name,
                                   std::make_unique<Control::Peer>(Control::Peer { widget }), item)
                               .first->second;
        ApplyLook(widget, item);
        if (item.index >= 0) {
            ControlArray &array = m_arrays[std::string(item.name)];
            array.m_elements[item.index] = &created;
            m_peer->mouseMoves->Watch(widget, array.m_mouseMove, item.index);
            if (item.marker)
                m_peer->arrowKeys->Watch(widget, array.m_mouseMove, item.index);
        }
        if (widget->focusPolicy() != Qt::NoFocus)
            tabOrder.emplace(item.tabIndex, widget);
        if (!qobject_cast<QAbstractButton *>(widget))
            beneath.push_back(widget);
    }
    // Buttons lie above text boxes and labels, each in creation order, so that a button moved onto
    // a text box can still be pressed there: the others go to the bottom, the last one first.
    std::for_each(beneath.rbegin(), beneath.rend(), [](QWidget *widget) { widget->lower(); });

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
    m_peer->window->show();
    m_peer->window->raise();
    m_peer->window->activateWindow();
}

bool Form::Visible() const
{
    return m_peer->window->isVisible();
}

void Form::Erase()
{
    m_peer->canvas->Cls();
}

void Form::Stroke(float x1, float y1, float x2, float y2, std::optional<Colour> colour)
{
    m_peer->canvas->Line(
        { ToPixels(x1, y1), ToPixels(x2, y2) }, colour ? ToQRgb(*colour) : m_peer->foreground);
}

void Form::OnClick(std::string_view menuItem, std::function<void()> handler)
{
    auto *action = m_peer->window->menuBar()->findChild<QAction *>(ToQString(menuItem));
    if (!action)
        throw std::out_of_range("no menu item named " + std::string(menuItem));
    QObject::connect(action, &QAction::triggered, m_peer->window.get(), std::move(handler));
}

} // namespace platform
