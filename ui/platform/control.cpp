#include "control.h"

#include "numbertext.h"

namespace platform {

std::string Control::Position() const
{
    return "x " + Str(m_left) + ", y " + Str(m_top) + " twips";
}

} // namespace platform
