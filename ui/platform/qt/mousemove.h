// Mouse moves on controls as their arrays' MouseMove events; a lost capture repaired.
#pragma once

#include "control.h"

#include <QObject>

#include <cstdint>
#include <map>

class QWidget;

namespace platform {

// What the filters of a form's control arrays share: the elements they watch, each with its
// array's MouseMove and its index. One filter serves every element, rather than an object each.
class ControlArrayFilter : public QObject {
public:
    // Watches the element index of the array whose MouseMove is handler (which outlives it).
    virtual void Watch(QWidget *widget, const MouseMoveHandler &handler, int index);

protected:
    explicit ControlArrayFilter(QObject *parent);

    // Whether the element watched has a MouseMove handler, and raising it.
    bool Handled(const QObject *watched) const;
    void RaiseMouseMove(
        const QObject *watched, std::int16_t button, std::int16_t shift, float x, float y) const;

private:
    struct Element {
        const MouseMoveHandler *handler;
        std::int16_t index;
    };
    std::map<const QObject *, Element> m_elements;
};

// Turns the mouse moves a control receives, hovering or while it holds the capture after a press,
// into the MouseMove event of its control array. The control keeps its own behaviour.
class MouseMoveFilter : public ControlArrayFilter {
public:
    explicit MouseMoveFilter(QObject *parent)
        : ControlArrayFilter(parent)
    { }

    void Watch(QWidget *widget, const MouseMoveHandler &handler, int index) override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

} // namespace platform
