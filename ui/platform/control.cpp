#include "control.h"

#include "numbertext.h"
#include "units.h"

#include <QAccessible>
#include <QVariant>
#include <QWidget>

namespace platform {

Control::Control(QWidget *widget, const ControlDesign &design)
    : m_widget(widget)
    , m_left(design.left)
    , m_top(design.top)
    , m_marker(design.marker)
    , m_accessibleName(design.accessibleName)
{
    m_widget->setGeometry(PixelPosition(design.left), PixelPosition(design.top),
        PixelPosition(design.width), PixelPosition(design.height)); // sizes never change
}

void Control::SetLeft(float twips)
{
    m_left = twips;
    m_widget->move(PixelPosition(twips), m_widget->y());
    DescribePosition();
}

void Control::SetTop(float twips)
{
    m_top = twips;
    m_widget->move(m_widget->x(), PixelPosition(twips));
    DescribePosition();
}

std::string Control::Position() const
{
    return "x " + Str(m_left) + ", y " + Str(m_top) + " twips";
}

void Control::Describe()
{
    if (!m_accessibleName.empty())
        m_widget->setAccessibleName(ToQString(m_accessibleName));
    DescribePosition();
}

// A screen reader hears a marker's new place from the toolkit's event for a changed description.
void Control::DescribePosition()
{
    if (!m_marker || !QAccessible::isActive())
        return;
    const QString text = ToQString(Position());
    if (text != m_widget->accessibleDescription())
        m_widget->setAccessibleDescription(text);
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

} // namespace platform
