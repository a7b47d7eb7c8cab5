#pragma once

#include "curvemodel.h"
#include "form.h"

#include <cstdint>

// The editor window: eight markers for the control points, three read-outs, the curve drawn
// beneath them, and the About menu item.
class Form1 : public platform::Form {
public:
    Form1();

    void Form_Load() override;
    void DrawBezier();
    void Command1_MouseMove(
        std::int16_t Index, std::int16_t Button, std::int16_t Shift, float X, float Y);
    void Option1_MouseMove(
        std::int16_t Index, std::int16_t Button, std::int16_t Shift, float X, float Y);
    void Mn_About_Click();

private:
    void MarkerMouseMove(
        const platform::ControlArray &M, std::int16_t Index, std::int16_t Button, float X, float Y);

    platform::ControlArray &Option1;
    platform::ControlArray &Command1;
    platform::Control &Text_Ind;
    platform::Control &Text_x;
    platform::Control &Text_y;
    CurveModel m_model;
};
