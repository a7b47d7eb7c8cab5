#include "control.h"

#include "units.h"

#include <QVariant>
#include <QWidget>

#include <stdexcept>

namespace platform {

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

Control &ControlArray::operator()(int index) const
{
    if (index < 0 || static_cast<std::size_t>(index) >= m_elements.size()
        || !m_elements[static_cast<std::size_t>(index)])
        throw std::out_of_range("no control array element with index " + std::to_string(index));
    return *m_elements[static_cast<std::size_t>(index)];
}

void ControlArray::add(int index, Control &control)
{
    const auto slot = static_cast<std::size_t>(index);
    if (m_elements.size() <= slot)
        m_elements.resize(slot + 1, nullptr);
    m_elements[slot] = &control;
}

} // namespace platform
