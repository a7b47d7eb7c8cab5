#include "mousemove.h"

#include <cmath>

namespace platform {

using page::val;

void ListenForMouseMoves(const val &element, const val &clientArea, const Control &control,
    const MouseMoveHandler &handler, int index)
{
    // A press captures the pointer until its buttons are released, the page's mouse capture: the
    // moves go to the pressed control wherever the pointer goes. The browser ends it on release,
    // on a cancelled touch and when the page is hidden.
    page::Listen(element, "pointerdown", [element](const val &event) {
        if (event["isPrimary"].as<bool>())
            element.call<void>("setPointerCapture", event["pointerId"]);
    });
    // A marker's menu would cover what it moves; the right button moves nothing.
    page::Listen(
        element, "contextmenu", [](const val &event) { event.call<void>("preventDefault"); });
    page::Listen(element, "pointermove", [&control, &handler, clientArea, index](const val &event) {
        if (!handler || !event["isPrimary"].as<bool>())
            return;
        // The windows lie on whole device pixels, which the page's layout units hold only nearly.
        const double ratio = val::global("devicePixelRatio").as<double>();
        const auto whole
            = [ratio](const val &css) { return std::round(css.as<double>() * ratio) / ratio; };
        const val origin = clientArea.call<val>("getBoundingClientRect");
        const double scale = page::Scale();
        const auto twips = [scale](double css, double origin, float at) {
            return static_cast<float>(
                ((css - origin) / scale - page::PixelPosition(at)) * page::TwipsPerPixel);
        };
        // The page's buttons and its keys hold the same bits as MouseMove's Button and Shift.
        const auto button = static_cast<std::int16_t>(event["buttons"].as<int>() & 7);
        const auto shift = static_cast<std::int16_t>((event["shiftKey"].as<bool>() ? 1 : 0)
            | (event["ctrlKey"].as<bool>() ? 2 : 0) | (event["altKey"].as<bool>() ? 4 : 0));
        handler(static_cast<std::int16_t>(index), button, shift,
            twips(event["clientX"].as<double>(), whole(origin["left"]), control.Left()),
            twips(event["clientY"].as<double>(), whole(origin["top"]), control.Top()));
    });
}

} // namespace platform
