#include "form1.h"
#include "form_about.h"
#include "testsupport.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QMouseEvent>
#include <QTest>

#include <array>
#include <cmath>
#include <cstdio>
#include <deque>
#include <optional>
#include <random>

using namespace testsupport;

namespace {

constexpr std::array Buttons { Qt::LeftButton, Qt::RightButton, Qt::MiddleButton };

// Every set of buttons a move can carry, with the Button bits the editor is told.
struct ButtonSet {
    Qt::MouseButtons buttons;
    int bits;
};
const ButtonSet ButtonSets[] = { { Qt::NoButton, 0 }, { Qt::LeftButton, 1 }, { Qt::RightButton, 2 },
    { Qt::LeftButton | Qt::RightButton, 3 }, { Qt::MiddleButton, 4 },
    { Qt::LeftButton | Qt::MiddleButton, 5 }, { Qt::RightButton | Qt::MiddleButton, 6 },
    { Qt::LeftButton | Qt::RightButton | Qt::MiddleButton, 7 } };

// A read-out's text by another route than the editor's: the C library's shortest form with seven
// significant digits, which also switches to the exponent below 1E-04 and from 1E+07 on.
QString ReadOut(float value)
{
    if (std::isnan(value))
        return QStringLiteral("NaN");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-Inf") : QStringLiteral("Inf");
    if (value == 0)
        return QStringLiteral("0");
    char text[32];
    std::snprintf(text, sizeof text, "%.7G", static_cast<double>(value));
    return QString::fromLatin1(text);
}

constexpr float FarTwips = 1e7f; // the largest offset a step moves by

// A marker's index and the array it belongs to: Option1 for the end points, Command1 between.
const char *ArrayOf(int index)
{
    return index == 0 || index == 7 ? "Option1" : "Command1";
}

// The toolkit's warnings about what this test does on purpose, thousands of times: pointer
// positions outside the window, and raising a window on the offscreen platform.
QtMessageHandler s_testLog = nullptr;

void QuietLog(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (message.contains(QLatin1String("occurs outside target window"))
        || message.contains(QLatin1String("does not support raise()")))
        return;
    s_testLog(type, context, message);
}

} // namespace

// Random mixes of everything the window system can deliver to the editor, and some it cannot:
// hovering and dragging on every marker with any buttons and shift keys, offsets far off the
// screen, moves sent to a marker other than the pressed one, resizes, and the About window. After
// every step the control points, the markers, the read-outs and the picture must agree.
class TestRandomEvents : public QObject {
    Q_OBJECT

    std::unique_ptr<Form1> form;
    std::unique_ptr<Pointer> pointer;
    std::mt19937_64 random;
    std::deque<QString> recent; // the last steps, for the failure message
    std::optional<int> lastIndex; // of the last move any marker reported
    int lastButton = 0; // of that move
    std::optional<int> lastDragged; // the last marker moved with the left button alone

    platform::Control &marker(int index) const
    {
        return form->ControlArrays(ArrayOf(index))(index);
    }

    QString text(const char *name) const
    {
        return QString::fromStdString(form->Controls(name).Text());
    }

    int uniform(int low, int high) { return std::uniform_int_distribution(low, high)(random); }
    bool chance(double p) { return std::bernoulli_distribution(p)(random); }

    float offset()
    {
        if (chance(0.7))
            return static_cast<float>(uniform(0, 254)); // within the marker
        if (chance(0.6))
            return static_cast<float>(uniform(-3000, 3000));
        return std::uniform_real_distribution(-FarTwips, FarTwips)(random);
    }

    Qt::KeyboardModifiers modifiers()
    {
        Qt::KeyboardModifiers keys;
        for (const Qt::KeyboardModifier key :
            { Qt::ShiftModifier, Qt::ControlModifier, Qt::AltModifier })
            if (chance(0.3))
                keys |= key;
        return keys;
    }

    void note(const QString &step)
    {
        recent.push_back(step);
        if (recent.size() > 8)
            recent.pop_front();
    }

    // Every move a marker reports passes through here on its way to the editor.
    void spyOn(const char *arrayName)
    {
        platform::ControlArray &array = form->ControlArrays(arrayName);
        array.OnMouseMove([this, handler = array.mouseMove()](std::int16_t index,
                              std::int16_t button, std::int16_t shift, float x, float y) {
            lastIndex = index;
            lastButton = button;
            if (button == 1)
                lastDragged = index;
            handler(index, button, shift, x, y);
        });
    }

    void pointerMove()
    {
        const int index = uniform(0, 7);
        const float dx = offset();
        const float dy = offset();
        const Qt::KeyboardModifiers keys = modifiers();
        note(QStringLiteral("pointer onto %1 %2 %3 keys %4 held %5")
                 .arg(index)
                 .arg(dx, 0, 'g', 9)
                 .arg(dy, 0, 'g', 9)
                 .arg(keys.toInt())
                 .arg(pointer->held().toInt()));
        pointer->moveOnto(marker(index), dx, dy, keys);
    }

    void pointerPress()
    {
        const Qt::MouseButton button = Buttons[static_cast<std::size_t>(uniform(0, 2))];
        if (pointer->held().testFlag(button))
            return;
        if (!pointer->held()) {
            // A first button goes down on a marker; not on a text box, whose context menu or
            // text drag would take over the mouse.
            const int index = uniform(0, 7);
            pointer->moveOnto(marker(index), static_cast<float>(uniform(0, 240)),
                static_cast<float>(uniform(0, 240)));
            if (qobject_cast<QAbstractButton *>(Window("Form1")->childAt(pointer->at())) == nullptr)
                return;
        }
        note(QStringLiteral("press %1 at %2,%3")
                 .arg(button)
                 .arg(pointer->at().x())
                 .arg(pointer->at().y()));
        pointer->press(button, modifiers());
    }

    void pointerRelease()
    {
        for (const Qt::MouseButton button : Buttons)
            if (pointer->held().testFlag(button) && chance(0.6)) {
                note(QStringLiteral("release %1").arg(button));
                pointer->release(button, modifiers());
                return;
            }
    }

    // A move no pointer device makes: straight to a marker, whichever holds the mouse, with any
    // buttons and an offset of up to ten million twips.
    QString directMove(int index, const ButtonSet &set, QPointF at)
    {
        const Qt::MouseButtons buttons = set.buttons;
        note(QStringLiteral("move sent to %1 buttons %2 at %3,%4")
                 .arg(index)
                 .arg(buttons.toInt())
                 .arg(at.x())
                 .arg(at.y()));
        platform::Control &target = marker(index);
        const float left = target.Left();
        const float top = target.Top();
        QWidget *widget = target.widget();
        QMouseEvent move(
            QEvent::MouseMove, at, widget->mapToGlobal(at), Qt::NoButton, buttons, modifiers());
        QApplication::sendEvent(widget, &move);

        if (lastIndex != index || lastButton != set.bits)
            return QStringLiteral("the marker did not report the move it was sent");
        const bool drags = buttons == Qt::LeftButton;
        const float expectedLeft = drags ? left + static_cast<float>(at.x() * 15.0) : left;
        const float expectedTop = drags ? top + static_cast<float>(at.y() * 15.0) : top;
        if (target.Left() != expectedLeft || target.Top() != expectedTop)
            return QStringLiteral("marker %1 is at %2,%3, not %4,%5")
                .arg(index)
                .arg(target.Left())
                .arg(target.Top())
                .arg(expectedLeft)
                .arg(expectedTop);
        return {};
    }

    QString randomDirectMove()
    {
        const ButtonSet &buttons = chance(0.6) ? ButtonSets[1] : ButtonSets[uniform(0, 7)];
        const double pixels = static_cast<double>(offset()) / 15.0;
        const double other = static_cast<double>(offset()) / 15.0;
        const double fraction = chance(0.5) ? std::uniform_real_distribution(0.0, 1.0)(random) : 0;
        return directMove(uniform(0, 7), buttons, QPointF(pixels + fraction, other));
    }

    void resize()
    {
        QSize size(uniform(1, 4000), uniform(1, 3000));
        if (chance(0.1))
            size = QSize(1, 1);
        else if (chance(0.1))
            size = QSize(4000, 3000);
        note(QStringLiteral("resize to %1 x %2").arg(size.width()).arg(size.height()));
        Window("Form1")->resize(size);
        QCoreApplication::processEvents();
    }

    void about()
    {
        const auto &window = platform::Application::Current().Instance<Form_About>();
        switch (uniform(0, 2)) {
        case 0:
            note(QStringLiteral("About chosen"));
            form->Mn_About_Click();
            break;
        case 1:
            note(QStringLiteral("About chosen from the menu"));
            Window("Form1")->menuBar()->actions().first()->trigger();
            break;
        default:
            note(QStringLiteral("About closed"));
            Window(window)->close();
            break;
        }
    }

    // Whether the drawing has the foreground within a pixel of a point in twips, or the point
    // lies too near the client area's edge to tell. Only those few pixels are painted.
    bool curveNear(float x, float y) const
    {
        QWidget *client = ClientArea(Window("Form1"));
        const QPoint centre(static_cast<int>(std::lround(x / TwipsPerPixel())),
            static_cast<int>(std::lround(y / TwipsPerPixel())));
        if (!client->rect().adjusted(1, 1, -1, -1).contains(centre))
            return true;
        QImage around(3, 3, QImage::Format_RGB32);
        client->render(&around, QPoint(), QRegion(QRect(centre - QPoint(1, 1), QSize(3, 3))),
            QWidget::DrawWindowBackground);
        return CountColour(around, Foreground(Window("Form1"))) > 0;
    }

    // Empty while the points, markers, read-outs and picture agree; otherwise what disagrees.
    QString disagreement()
    {
        const CurveModel &model = Model(*form);
        for (int i = 0; i <= 7; ++i)
            if (model.PointX[i] != marker(i).Left() || model.PointY[i] != marker(i).Top())
                return QStringLiteral("point %1 is %2,%3, its marker at %4,%5")
                    .arg(i)
                    .arg(model.PointX[i])
                    .arg(model.PointY[i])
                    .arg(marker(i).Left())
                    .arg(marker(i).Top());

        const QString index = lastIndex ? QString::number(*lastIndex) : QStringLiteral("Index");
        if (text("Text_Ind") != index)
            return QStringLiteral("Text_Ind reads %1, not %2").arg(text("Text_Ind"), index);
        const auto readOut = [&](const std::vector<float> &points, const char *initial) {
            return lastDragged ? ReadOut(points[static_cast<std::size_t>(*lastDragged)])
                               : QString::fromLatin1(initial);
        };
        if (text("Text_x") != readOut(model.PointX, "x"))
            return QStringLiteral("Text_x reads %1, not %2")
                .arg(text("Text_x"), readOut(model.PointX, "x"));
        if (text("Text_y") != readOut(model.PointY, "y"))
            return QStringLiteral("Text_y reads %1, not %2")
                .arg(text("Text_y"), readOut(model.PointY, "y"));

        // The curve starts at P0 and ends at P7, wherever these lie on the picture.
        for (const int end : { 0, 7 }) {
            const float x = model.PointX[static_cast<std::size_t>(end)];
            const float y = model.PointY[static_cast<std::size_t>(end)];
            if (!curveNear(x, y))
                return QStringLiteral("no curve at P%1 (%2,%3)").arg(end).arg(x).arg(y);
        }
        return {};
    }

private slots:
    void initTestCase() { s_testLog = qInstallMessageHandler(QuietLog); }
    void cleanupTestCase() { qInstallMessageHandler(s_testLog); }

    void init()
    {
        form = std::make_unique<Form1>();
        form->Form_Load();
        QVERIFY(QTest::qWaitForWindowExposed(Window("Form1")));
        spyOn("Option1");
        spyOn("Command1");
        pointer = std::make_unique<Pointer>(*form);
        lastIndex.reset();
        lastDragged.reset();
        recent.clear();
    }

    void cleanup()
    {
        pointer.reset();
        form.reset();
        Window(platform::Application::Current().Instance<Form_About>())->close();
    }

    void pointsMarkersReadOutsAndPictureAgreeAfterEveryStep()
    {
        const std::uint64_t seed = Seed();
        random.seed(seed);
        bool set = false;
        const int steps = qEnvironmentVariableIntValue("BEZIER7_STEPS", &set);
        for (int step = 1; step <= (set ? steps : 3000); ++step) {
            QString problem;
            const int kind = uniform(0, 99);
            if (kind < 30) {
                pointerMove();
            } else if (kind < 40) {
                pointerPress();
            } else if (kind < 50) {
                pointerRelease();
            } else if (kind < 75) {
                problem = randomDirectMove();
            } else if (kind < 80) {
                resize();
            } else if (kind < 84) {
                // Drawn, resized before the picture is shown, and drawn again.
                problem = directMove(uniform(0, 7), ButtonSets[1], QPointF(uniform(-50, 50), 3));
                const QSize size(uniform(1, 4000), uniform(1, 3000));
                note(QStringLiteral("resize to %1 x %2").arg(size.width()).arg(size.height()));
                Window("Form1")->resize(size);
                QCoreApplication::processEvents();
                if (problem.isEmpty())
                    problem = directMove(uniform(0, 7), ButtonSets[1], QPointF(-2, uniform(-9, 9)));
            } else if (kind < 89) {
                about();
            } else {
                note(QStringLiteral("events processed"));
                QCoreApplication::processEvents();
            }
            if (problem.isEmpty())
                problem = disagreement();
            if (!problem.isEmpty()) {
                QFAIL(qPrintable(QStringLiteral("seed %1, step %2: %3\nlast steps:\n  %4")
                                     .arg(seed)
                                     .arg(step)
                                     .arg(problem,
                                         QStringList(recent.begin(), recent.end())
                                             .join(QStringLiteral("\n  ")))));
            }
        }
    }
};

BEZIER7_TEST_MAIN(TestRandomEvents)
#include "tst_randomevents.moc"
