#include "form.h"
#include "testsupport.h"

#include <QMainWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

#include <vector>

using namespace testsupport;

namespace {

using enum platform::ControlKind;

// clang-format off
constexpr platform::ControlDesign Controls[] = {
    { .name = "Command1", .kind = PushButton, .index = 1, .caption = "1",
      .left = 1500, .top = 1500, .width = 450, .height = 450, .tabIndex = 0 },
    { .name = "Command1", .kind = PushButton, .index = 2, .caption = "2",
      .left = 4500, .top = 1500, .width = 450, .height = 450, .tabIndex = 1 },
    { .name = "Option1", .kind = OptionButton, .index = 0, .caption = "0",
      .left = 1500, .top = 3000, .width = 450, .height = 300, .tabIndex = 2 },
    { .name = "Text1", .kind = TextBox, .caption = "t",
      .left = 4500, .top = 3000, .width = 900, .height = 300, .tabIndex = 3 },
};

constexpr platform::FormDesign Design { .name = "Mouse", .caption = "Mouse",
    .clientWidth = 6000, .clientHeight = 4500, .controls = Controls };
// clang-format on

struct Move {
    int index, button, shift;
    float x, y;
    bool operator==(const Move &) const = default;
};

} // namespace

class TestMouseMove : public QObject {
    Q_OBJECT

    std::unique_ptr<platform::Form> form;
    std::vector<Move> moves;

    void record(const char *array)
    {
        form->ControlArrays(array).OnMouseMove(
            [this](std::int16_t index, std::int16_t button, std::int16_t shift, float x, float y) {
                moves.push_back({ index, button, shift, x, y });
            });
    }

private slots:
    void init()
    {
        form = std::make_unique<platform::Form>(Design);
        record("Command1");
        record("Option1");
        form->Show();
        QVERIFY(QTest::qWaitForWindowExposed(Window("Mouse")));
        moves.clear();
    }

    void cleanup() { form.reset(); }

    void hoverGivesIndexAndOffsetInTwips()
    {
        Pointer pointer(Window("Mouse"));
        pointer.moveTo(300, 300); // over no control: no event
        pointer.moveOnto(Control(Window("Mouse"), "Command1(2)"), 45, 90);
        pointer.moveOnto(Control(Window("Mouse"), "Option1(0)"), 150, 15);
        QCOMPARE(moves, (std::vector<Move> { { 2, 0, 0, 45, 90 }, { 0, 0, 0, 150, 15 } }));
    }

    void pressedControlKeepsTheMovesUntilReleased()
    {
        Pointer pointer(Window("Mouse"));
        QWidget *first = Control(Window("Mouse"), "Command1(1)");
        pointer.moveOnto(first, 150, 150);
        pointer.press(Qt::LeftButton);
        pointer.moveTo(1200, 1350); // left of and above it
        pointer.moveOnto(Control(Window("Mouse"), "Command1(2)"), 30, 30); // over another control
        pointer.release(Qt::LeftButton);
        pointer.moveOnto(Control(Window("Mouse"), "Command1(2)"), 60, 60);
        QCOMPARE(moves,
            (std::vector<Move> { { 1, 0, 0, 150, 150 }, { 1, 1, 0, -300, -150 },
                { 1, 1, 0, 3030, 30 }, { 2, 0, 0, 60, 60 } }));
    }

    void buttonsAndShiftAreBits()
    {
        Pointer pointer(Window("Mouse"));
        QWidget *handle = Control(Window("Mouse"), "Command1(1)");
        pointer.moveOnto(handle, 15, 15);
        pointer.press(Qt::LeftButton);
        pointer.press(Qt::RightButton);
        pointer.moveOnto(handle, 30, 15);
        pointer.release(Qt::LeftButton);
        pointer.press(Qt::MiddleButton);
        pointer.moveOnto(handle, 45, 15, Qt::ShiftModifier);
        pointer.release(Qt::RightButton);
        pointer.release(Qt::MiddleButton);
        pointer.moveOnto(handle, 60, 15, Qt::ControlModifier | Qt::AltModifier);
        pointer.moveOnto(handle, 75, 15, Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
        QCOMPARE(moves,
            (std::vector<Move> { { 1, 0, 0, 15, 15 }, { 1, 3, 0, 30, 15 }, { 1, 6, 1, 45, 15 },
                { 1, 0, 6, 60, 15 }, { 1, 0, 7, 75, 15 } }));
    }

    void controlsKeepTheirOwnBehaviour()
    {
        auto *button = qobject_cast<QPushButton *>(Control(Window("Mouse"), "Command1(2)"));
        auto *option = qobject_cast<QRadioButton *>(Control(Window("Mouse"), "Option1(0)"));
        QSignalSpy clicked(button, &QAbstractButton::clicked);
        Pointer pointer(Window("Mouse"));
        pointer.moveOnto(Control(Window("Mouse"), "Command1(2)"), 100, 100);
        pointer.press(Qt::LeftButton);
        pointer.release(Qt::LeftButton);
        QCOMPARE(clicked.count(), 1);
        QVERIFY(!option->isChecked());
        pointer.moveOnto(Control(Window("Mouse"), "Option1(0)"), 60, 60);
        pointer.press(Qt::LeftButton);
        pointer.release(Qt::LeftButton);
        QVERIFY(option->isChecked());
    }

    void leftAndTopMoveTheControlAtOnce()
    {
        auto &handle = form->ControlArrays("Command1")(1);
        const QWidget *widget = Control(Window("Mouse"), "Command1(1)");
        handle.SetLeft(3000.5f);
        handle.SetTop(-450);
        QCOMPARE(widget->pos(), QPoint(200, -30));
        handle.SetLeft(1e30f); // far off, yet placed
        QVERIFY(widget->x() > 100000);
    }
};

BEZIER7_TEST_MAIN(TestMouseMove)
#include "tst_mousemove.moc"
