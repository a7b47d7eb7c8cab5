#include "form.h"

#include "appearance.h"
#include "canvas.h"
#include "mousemovefilter.h"
#include "units.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>
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

QString ObjectName(const ControlDesign &design)
{
    const QString name = ToQString(design.name);
    return design.index < 0 ? name : QStringLiteral("%1(%2)").arg(name).arg(design.index);
}

} // namespace

Form::Form(const FormDesign &design)
    : m_window(std::make_unique<QMainWindow>())
{
    m_window->setWindowTitle(ToQString(design.caption));
    // A fixed background brings a palette of its own, so that text left in the platform's colour
    // stays readable on it whatever the desktop's theme; otherwise the theme's palette holds.
    QPalette palette = m_window->palette();
    if (design.backColor) {
        const QColor background = ToQColor(*design.backColor);
        palette = QPalette(background, background);
    }
    m_window->setPalette(palette);

    m_canvas = new Canvas(
        palette.color(QPalette::Window), palette.color(QPalette::WindowText), m_window.get());
    m_window->setCentralWidget(m_canvas);
    ApplyClientAreaAppearance(m_canvas);
    addMenu(design);
    addControls(design);

    const int menuHeight = design.menu.empty() ? 0 : m_window->menuBar()->sizeHint().height();
    m_window->resize(
        ToPixelPosition(design.clientWidth), ToPixelPosition(design.clientHeight) + menuHeight);
}

// The window and its controls go first: their mouse-move filters refer to the control arrays.
Form::~Form()
{
    m_window.reset();
}

void Form::addMenu(const FormDesign &design)
{
    if (design.menu.empty())
        return;
    QMenuBar *bar = m_window->menuBar();
    bar->setNativeMenuBar(false); // the menu bar belongs to the window, above its client area
    for (const MenuItemDesign &item : design.menu) {
        QAction *action = bar->addAction(ToQString(item.caption));
        action->setObjectName(ToQString(item.name));
    }
}

void Form::addControls(const FormDesign &design)
{
    std::vector<std::pair<int, QWidget *>> tabOrder;
    for (const ControlDesign &item : design.controls) {
        QWidget *widget = CreateWidget(item, m_canvas);
        widget->setObjectName(ObjectName(item));
        auto created = std::make_unique<Control>(widget, item);
        ApplyAppearance(widget, item);
        if (item.index < 0) {
            m_singles.emplace(item.name, created.get());
        } else {
            auto &array = m_arrays[std::string(item.name)];
            if (!array)
                array = std::make_unique<ControlArray>();
            array->add(item.index, *created);
            new MouseMoveFilter(*array, static_cast<std::int16_t>(item.index), widget);
        }
        if (widget->focusPolicy() != Qt::NoFocus)
            tabOrder.emplace_back(item.tabIndex, widget);
        m_controls.push_back(std::move(created));
    }
    // Buttons lie above text boxes and labels, in their own creation order, so that a button
    // moved onto a text box can still be pressed there.
    for (const auto &created : m_controls)
        if (qobject_cast<QAbstractButton *>(created->widget()))
            created->widget()->raise();

    std::stable_sort(tabOrder.begin(), tabOrder.end(),
        [](const auto &a, const auto &b) { return a.first < b.first; });
    for (std::size_t i = 1; i < tabOrder.size(); ++i)
        QWidget::setTabOrder(tabOrder[i - 1].second, tabOrder[i].second);
    if (!tabOrder.empty())
        tabOrder.front().second->setFocus(); // focus starts at the lowest tab index
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
    m_canvas->Line(ToPixels(x1, y1), ToPixels(x2, y2), ToQColor(colour));
    m_currentX = x2;
    m_currentY = y2;
}

void Form::Line(float x2, float y2)
{
    m_canvas->Line(ToPixels(m_currentX, m_currentY), ToPixels(x2, y2));
    m_currentX = x2;
    m_currentY = y2;
}

void Form::PSet(float x, float y)
{
    m_canvas->PSet(ToPixels(x, y));
    m_currentX = x;
    m_currentY = y;
}

Control &Form::control(std::string_view name) const
{
    if (const auto found = m_singles.find(name); found != m_singles.end())
        return *found->second;
    throw std::out_of_range("no control named " + std::string(name));
}

ControlArray &Form::controlArray(std::string_view name) const
{
    if (const auto found = m_arrays.find(name); found != m_arrays.end())
        return *found->second;
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
