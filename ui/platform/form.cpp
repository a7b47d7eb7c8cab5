#include "form.h"

#include "appearance.h"
#include "canvas.h"
#include "units.h"

#include <QAction>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QWindow>

#include <stdexcept>

namespace platform {

namespace {

QWidget *CreateWidget(const ControlDesign &design, QWidget *parent)
{
    const QString caption = ToQString(design.caption);
    switch (design.kind) {
    case ControlKind::OptionButton:
        return new QRadioButton(caption, parent);
    case ControlKind::PushButton:
        return new QPushButton(caption, parent);
    case ControlKind::TextBox:
        return new QLineEdit(caption, parent);
    case ControlKind::Label:
        return new QLabel(caption, parent);
    }
    return nullptr;
}

std::string ObjectName(const ControlDesign &design)
{
    const std::string name(design.name);
    return design.index < 0 ? name : name + '(' + std::to_string(design.index) + ')';
}

// A press captures the mouse until the buttons are released. A release the window never saw (it
// came while the window was minimised or unmapped) leaves the toolkit sending moves to the pressed
// control; the first such move with no button held, away from the control, ends the capture with
// that release and goes again to whatever lies under the pointer.
bool EndsLostCapture(QWidget *control, const QMouseEvent &move)
{
    QWindow *window = control->window()->windowHandle();
    if (!move.spontaneous() || move.buttons() != Qt::NoButton
        || control->rect().contains(move.position().toPoint()) || !window)
        return false;
    const QPointF at = window->mapFromGlobal(move.globalPosition());
    QMouseEvent release(QEvent::MouseButtonRelease, at, move.globalPosition(), Qt::LeftButton,
        Qt::NoButton, move.modifiers());
    QCoreApplication::sendEvent(window, &release);
    QMouseEvent again(
        QEvent::MouseMove, at, move.globalPosition(), Qt::NoButton, Qt::NoButton, move.modifiers());
    QCoreApplication::sendEvent(window, &again);
    return true;
}

// Turns the mouse moves a control receives, hovering or while it holds the capture after a press,
// into the MouseMove event of its control array. The control keeps its own behaviour.
class MouseMoveFilter : public QObject {
public:
    MouseMoveFilter(const ControlArray &array, int index, QWidget *control)
        : QObject(control)
        , m_array(array)
        , m_index(static_cast<std::int16_t>(index))
    {
        control->setMouseTracking(true); // hover moves too, not only those with a button held
        control->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::MouseMove || !m_array.mouseMove())
            return QObject::eventFilter(watched, event);
        const auto *move = static_cast<QMouseEvent *>(event);
        auto *control = static_cast<QWidget *>(watched);
        if (EndsLostCapture(control, *move))
            return true;
        // Qt's button flags are the event's bits (left 1, right 2, middle 4), and its shift, ctrl
        // and alt flags lie in that order upwards from the shift flag.
        const int buttons
            = (move->buttons() & (Qt::LeftButton | Qt::RightButton | Qt::MiddleButton)).toInt();
        const int shift
            = (move->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier))
                  .toInt()
            / Qt::ShiftModifier;
        const QPoint before = control->pos();
        const QPointF at = move->position(); // relative to the control's top-left corner
        m_array.mouseMove()(m_index, static_cast<std::int16_t>(buttons),
            static_cast<std::int16_t>(shift), ToTwips(at.x()), ToTwips(at.y()));
        // A control the handler moved has left the position the event was measured from: passing
        // it on would make a pressed button judge the pointer by a stale position (and repaint
        // itself as released and pressed again while dragged). Its press and release stay its own.
        return control->pos() != before;
    }

private:
    const ControlArray &m_array;
    std::int16_t m_index;
};

} // namespace

Control::Control(QWidget *widget, const ControlDesign &design)
    : m_widget(widget)
    , m_left(design.left)
    , m_top(design.top)
{
    m_widget->resize(ToPixelPosition(design.width), ToPixelPosition(design.height));
    place();
}

void Control::SetLeft(float twips)
{
    m_left = twips;
    place();
}

void Control::SetTop(float twips)
{
    m_top = twips;
    place();
}

// Text boxes, buttons and labels all hold their text in the property "text".
std::string Control::Text() const
{
    return m_widget->property("text").toString().toStdString();
}

void Control::SetText(std::string_view text)
{
    m_widget->setProperty("text", ToQString(text));
}

void Control::place()
{
    m_widget->move(ToPixelPosition(m_left), ToPixelPosition(m_top)); // sizes never change
}

Form::Form(const FormDesign &design)
    : m_window(std::make_unique<QMainWindow>())
{
    m_window->setWindowTitle(ToQString(design.caption));
    // A fixed background brings a palette of its own, so that text left in the platform's colour
    // stays readable on it whatever the desktop's theme; otherwise the theme's palette holds.
    QPalette palette = m_window->palette();
    if (design.backColor)
        palette = QPalette(ToQColor(*design.backColor), ToQColor(*design.backColor));
    m_window->setPalette(palette);
    m_foreground = m_window->palette().color(QPalette::WindowText).rgb();

    m_canvas = new Canvas(m_window.get());
    m_window->setCentralWidget(m_canvas);
    ApplyClientAreaAppearance(m_canvas);
    addControls(design);

    int menuHeight = 0;
    if (!design.menu.empty()) {
        QMenuBar *bar = m_window->menuBar();
        bar->setNativeMenuBar(false); // the menu bar belongs to the window, above its client area
        for (const MenuItemDesign &item : design.menu)
            bar->addAction(ToQString(item.caption))->setObjectName(ToQString(item.name));
        menuHeight = bar->sizeHint().height();
    }
    m_window->resize(
        ToPixelPosition(design.clientWidth), ToPixelPosition(design.clientHeight) + menuHeight);
}

Form::~Form() = default;

void Form::addControls(const FormDesign &design)
{
    std::multimap<int, QWidget *> tabOrder; // in creation order where tab indices are equal
    for (const ControlDesign &item : design.controls) {
        QWidget *widget = CreateWidget(item, m_canvas);
        const std::string name = ObjectName(item);
        widget->setObjectName(QString::fromStdString(name));
        Control &created = m_controls.try_emplace(name, widget, item).first->second;
        ApplyAppearance(widget, item);
        if (item.index >= 0) {
            ControlArray &array = m_arrays[std::string(item.name)];
            array.m_elements[item.index] = &created;
            new MouseMoveFilter(array, item.index, widget);
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
    m_window->show();
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
    draw(x1, y1, x2, y2, ToQColor(colour).rgb());
}

void Form::Line(float x2, float y2)
{
    draw(m_currentX, m_currentY, x2, y2, m_foreground);
}

void Form::PSet(float x, float y)
{
    draw(x, y, x, y, m_foreground);
}

void Form::draw(float x1, float y1, float x2, float y2, QRgb colour)
{
    m_canvas->Line({ ToPixels(x1, y1), ToPixels(x2, y2) }, colour);
    m_currentX = x2;
    m_currentY = y2;
}

Control &Form::control(std::string_view name)
{
    if (const auto found = m_controls.find(name); found != m_controls.end())
        return found->second;
    throw std::out_of_range("no control named " + std::string(name));
}

ControlArray &Form::controlArray(std::string_view name)
{
    if (const auto found = m_arrays.find(name); found != m_arrays.end())
        return found->second;
    throw std::out_of_range("no control array named " + std::string(name));
}

void Form::OnClick(std::string_view menuItem, std::function<void()> handler)
{
    auto *action = m_window->menuBar()->findChild<QAction *>(ToQString(menuItem));
    if (!action)
        throw std::out_of_range("no menu item named " + std::string(menuItem));
    QObject::connect(action, &QAction::triggered, m_window.get(), std::move(handler));
}

} // namespace platform
