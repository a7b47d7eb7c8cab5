#include "control.h"

#include "control_peer.h"

namespace platform {

using page::val;

Control::Control(std::unique_ptr<Peer> peer, const ControlDesign &design)
    : m_peer(std::move(peer))
    , m_left(design.left)
    , m_top(design.top)
    , m_marker(design.marker)
    , m_accessibleName(design.accessibleName)
{
    val &style = m_peer->style;
    style.set("left", page::Length(page::PixelPosition(design.left)));
    style.set("top", page::Length(page::PixelPosition(design.top)));
    style.set("width", page::Length(page::PixelPosition(design.width)));
    style.set("height", page::Length(page::PixelPosition(design.height)));
}

Control::~Control() = default;

void Control::SetLeft(float twips)
{
    m_left = twips;
    m_peer->style.set("left", page::Length(page::PixelPosition(twips)));
    DescribePosition();
}

void Control::SetTop(float twips)
{
    m_top = twips;
    m_peer->style.set("top", page::Length(page::PixelPosition(twips)));
    DescribePosition();
}

// A text box holds its text as its value; the others as their text's content.
std::string Control::Text() const
{
    return m_peer->text[m_peer->textIsValue ? "value" : "textContent"].as<std::string>();
}

void Control::SetText(std::string_view text)
{
    m_peer->text.set(m_peer->textIsValue ? "value" : "textContent", std::string(text));
}

void Control::Describe()
{
    if (!m_accessibleName.empty())
        m_peer->input.call<void>(
            "setAttribute", std::string("aria-label"), std::string(m_accessibleName));
    DescribePosition();
}

// A screen reader reads a marker's place from its description, kept as it moves.
void Control::DescribePosition()
{
    if (m_marker)
        m_peer->input.call<void>("setAttribute", std::string("aria-description"), Position());
}

} // namespace platform
