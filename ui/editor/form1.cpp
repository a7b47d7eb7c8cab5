#include "form1.h"

#include "form1design.h"
#include "form_about.h"

#include "application.h"
#include "numbertext.h"

#include <functional>

namespace {
constexpr platform::Colour Red = 0x000000FF;
}

Form1::Form1()
    : Form(Form1Design())
    , Option1(ControlArrays("Option1"))
    , Command1(ControlArrays("Command1"))
    , Text_Ind(Controls("Text_Ind"))
    , Text_x(Controls("Text_x"))
    , Text_y(Controls("Text_y"))
{
    Option1.OnMouseMove(std::bind_front(&Form1::Option1_MouseMove, this));
    Command1.OnMouseMove(std::bind_front(&Form1::Command1_MouseMove, this));
    OnClick("Mn_About", std::bind_front(&Form1::Mn_About_Click, this));
}

void Form1::Form_Load()
{
    Show();
    m_model.Degree = 7;
    m_model.CreateArrays();
    m_model.PointX[0] = Option1(0).Left();
    m_model.PointY[0] = Option1(0).Top();
    for (int i = 1; i <= m_model.Degree - 1; ++i) {
        m_model.PointX[i] = Command1(i).Left();
        m_model.PointY[i] = Command1(i).Top();
    }
    m_model.PointX[7] = Option1(7).Left();
    m_model.PointY[7] = Option1(7).Top();
    m_model.BezierCoefficients();
    DrawBezier();
}

void Form1::DrawBezier()
{
    const auto &PointX = m_model.PointX;
    const auto &PointY = m_model.PointY;
    const int Degree = m_model.Degree;

    Cls();
    Line(PointX[0], PointY[0], PointX[1], PointY[1], Red);
    Line(PointX[Degree], PointY[Degree], PointX[Degree - 1], PointY[Degree - 1], Red);
    PSet(PointX[0], PointY[0]);
    for (int k = 0; k <= 100; ++k) {
        const double t = k / 100.0;
        const double x = m_model.Bezier(t, PointX);
        const double y = m_model.Bezier(t, PointY);
        Line(static_cast<float>(x), static_cast<float>(y));
    }
}

void Form1::Command1_MouseMove(
    std::int16_t Index, std::int16_t Button, std::int16_t /*Shift*/, float X, float Y)
{
    MarkerMouseMove(Command1, Index, Button, X, Y);
}

void Form1::Option1_MouseMove(
    std::int16_t Index, std::int16_t Button, std::int16_t /*Shift*/, float X, float Y)
{
    MarkerMouseMove(Option1, Index, Button, X, Y);
}

// The marker under the pointer, or the one being dragged, reports its index; with the left button
// alone held, its top-left corner follows the pointer and the curve is redrawn.
void Form1::MarkerMouseMove(
    const platform::ControlArray &M, std::int16_t Index, std::int16_t Button, float X, float Y)
{
    Text_Ind.SetText(platform::Str(Index));
    if (Button != 1)
        return;
    m_model.PointX[Index] = M(Index).Left() + X;
    m_model.PointY[Index] = M(Index).Top() + Y;
    M(Index).SetLeft(m_model.PointX[Index]);
    M(Index).SetTop(m_model.PointY[Index]);
    Text_x.SetText(platform::Str(m_model.PointX[Index]));
    Text_y.SetText(platform::Str(m_model.PointY[Index]));
    DrawBezier();
}

void Form1::Mn_About_Click()
{
    platform::Application::Current().Instance<Form_About>().Show();
}
