#include "arrowkeys.h"

#include <string>

namespace platform {

using page::val;

namespace {

struct Step {
    int x;
    int y;
};

// A step in pixels for an arrow key; none for any other key.
Step Direction(const std::string &key)
{
    if (key == "ArrowLeft")
        return { -1, 0 };
    if (key == "ArrowRight")
        return { 1, 0 };
    if (key == "ArrowUp")
        return { 0, -1 };
    if (key == "ArrowDown")
        return { 0, 1 };
    return { 0, 0 };
}

} // namespace

void ListenForArrowKeys(const val &input, const MouseMoveHandler &handler, int index)
{
    page::Listen(input, "keydown", [&handler, index](const val &event) {
        const Step direction = Direction(event["key"].as<std::string>());
        if (!handler || (direction.x == 0 && direction.y == 0) || event["ctrlKey"].as<bool>()
            || event["altKey"].as<bool>() || event["metaKey"].as<bool>())
            return;
        event.call<void>("preventDefault");
        const bool shift = event["shiftKey"].as<bool>();
        const double pixels = (shift ? 10 : 1) * page::TwipsPerPixel;
        handler(static_cast<std::int16_t>(index), 1, shift ? 1 : 0,
            static_cast<float>(direction.x * pixels), static_cast<float>(direction.y * pixels));
    });
}

} // namespace platform
