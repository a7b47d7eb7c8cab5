#include "form.h"

#include <stdexcept>

namespace platform {

// The current position, which Line -(x, y) starts from, is the form's own on every toolkit.

void Form::Cls()
{
    Erase();
    m_currentX = 0;
    m_currentY = 0;
}

void Form::Line(float x1, float y1, float x2, float y2, Colour colour)
{
    Stroke(x1, y1, x2, y2, colour);
    m_currentX = x2;
    m_currentY = y2;
}

void Form::Line(float x2, float y2)
{
    Stroke(m_currentX, m_currentY, x2, y2, std::nullopt);
    m_currentX = x2;
    m_currentY = y2;
}

void Form::PSet(float x, float y)
{
    Stroke(x, y, x, y, std::nullopt);
    m_currentX = x;
    m_currentY = y;
}

Control &Form::Controls(std::string_view name)
{
    return m_controls.at(std::string(name));
}

ControlArray &Form::ControlArrays(std::string_view name)
{
    return m_arrays.at(std::string(name));
}

} // namespace platform
