#include "control.h"

#include "control_peer.h"
#include "units.h"

#include <QAccessible>
#include <QVariant>
#include <QWidget>

namespace platform {

Control::Control(std::unique_ptr<Peer> peer, const ControlDesign &design)
    : m_peer(std::move(peer))
    , m_left(design.left)
    , m_top(design.top)
    , m_marker(design.marker)
    , m_accessibleName(design.accessibleName)
{
    m_peer->widget->setGeometry(PixelPosition(design.left), PixelPosition(design.top),
        PixelPosition(design.width), PixelPosition(design.height)); // sizes never change
}

Control::~Control() = default;

void Control::SetLeft(float twips)
{
    m_left = twips;
    m_peer->widget->move(PixelPosition(twips), m_peer->widget->y());
    DescribePosition();
}

void Control::SetTop(float twips)
{
    m_top = twips;
    m_peer->widget->move(m_peer->widget->x(), PixelPosition(twips));
    DescribePosition();
}

void Control::Describe()
{
    if (!m_accessibleName.empty())
        m_peer->widget->setAccessibleName(ToQString(m_accessibleName));
    DescribePosition();
}

// A screen reader hears a marker's new place from the toolkit's event for a changed description.
void Control::DescribePosition()
{
    if (!m_marker || !QAccessible::isActive())
        return;
    const QString text = ToQString(Position());
    if (text != m_peer->widget->accessibleDescription())
        m_peer->widget->setAccessibleDescription(text);
}

// Text boxes, buttons and labels all hold their text in the property "text".
std::string Control::Text() const
{
    return m_peer->widget->property("text").toString().toStdString();
}

void Control::SetText(std::string_view text)
{
    m_peer->widget->setProperty("text", ToQString(text));
}

} // namespace platform
