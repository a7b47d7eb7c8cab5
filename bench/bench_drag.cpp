// What one drag event costs the editor, against the same toolkit work done directly with Qt.
// Every case is a Qt Test benchmark: `-median N` gives its time per iteration, `-callgrind` its
// instruction count. report.py runs them and prints the table; README.md explains the rows.

#include "floorwindow.h"
#include "markerdrag.h"

#include "resident.h"
#include "testdesign.h"
#include "testsupport.h"

#include "application.h"
#include "form1.h"

#include <QMainWindow>
#include <QTest>

#include <memory>

using namespace bench;

namespace {

// Lets the event loop deliver what showing a window queued: the expose event, which paints the
// whole window into its backing store.
void PaintExposed()
{
    QCoreApplication::processEvents();
}

// The editor as the user first sees it.
std::unique_ptr<Form1> ShownEditor()
{
    auto form = std::make_unique<Form1>();
    form->Form_Load(); // shows the window and draws the curve
    PaintExposed();
    return form;
}

// Holds handle 2 of the editor and makes the first move, which makes the handle jump to the
// pointer, here outside the timing; every later move goes back and forth between two places.
std::unique_ptr<MarkerDrag> HoldHandle2(Form1 &form)
{
    auto drag = std::make_unique<MarkerDrag>(
        testsupport::Window("Form1"), form.ControlArrays("Command1")(2));
    drag->step();
    return drag;
}

// The floor window as the user would first see it, and the drag that works on it.
FloorDrag ShownFloor(FloorWindow &reference)
{
    reference.window.show();
    PaintExposed();
    return FloorDrag(reference);
}

} // namespace

class BenchDrag : public QObject {
    Q_OBJECT
private slots:
    void floor()
    {
        FloorWindow reference;
        FloorDrag drag = ShownFloor(reference);
        QBENCHMARK {
            drag.step();
        }
    }

    void floorPresented()
    {
        FloorWindow reference;
        FloorDrag drag = ShownFloor(reference);
        QBENCHMARK {
            drag.step();
            reference.client->repaint(); // the whole client area, controls included
        }
    }

    void evaluate()
    {
        const CurveModel model
            = testsupport::ModelOver(testsupport::InitialX, testsupport::InitialY);
        QBENCHMARK {
            double sum = 0;
            for (int k = 0; k <= 100; ++k) {
                const double t = k / 100.0;
                sum += model.Bezier(t, model.PointX) + model.Bezier(t, model.PointY);
            }
            [[maybe_unused]] const volatile double kept = sum; // the sums must be computed
        }
    }

    void dragStep()
    {
        const auto form = ShownEditor();
        const auto drag = HoldHandle2(*form);
        QBENCHMARK {
            drag->step();
        }
    }

    void dragStepPresented()
    {
        const auto form = ShownEditor();
        const auto drag = HoldHandle2(*form);
        QMainWindow *window = testsupport::Window("Form1");
        QBENCHMARK {
            drag->step();
            Present(window);
        }
    }

    // Construction, Form_Load and the first paint; the window is destroyed in each iteration too,
    // as in startupFloor.
    void startup()
    {
        QBENCHMARK {
            ShownEditor();
        }
    }

    void startupFloor()
    {
        QBENCHMARK {
            FloorWindow reference;
            reference.window.show();
            PaintExposed();
        }
    }

    // Not timed: the resident memory the process gains over 10,000 drag events, each presented,
    // in drags of 20 moves that take the eight markers in turn.
    void soak()
    {
        const auto form = ShownEditor();
        QMainWindow *window = testsupport::Window("Form1");
        const platform::ControlArray &options = form->ControlArrays("Option1");
        const platform::ControlArray &buttons = form->ControlArrays("Command1");
        const platform::Control *markers[] = { &options(0), &buttons(1), &buttons(2), &buttons(3),
            &buttons(4), &buttons(5), &buttons(6), &options(7) };

        const qint64 before = testsupport::ResidentKiB();
        constexpr int Events = 10000;
        constexpr int MovesPerDrag = 20; // even, so each drag leaves its marker where it was
        for (int event = 0; event < Events;) {
            MarkerDrag drag(window, *markers[(event / MovesPerDrag) % std::size(markers)]);
            for (int move = 0; move < MovesPerDrag; ++move, ++event) {
                drag.step();
                Present(window);
            }
        }
        QTest::setBenchmarkResult(
            static_cast<qreal>(testsupport::ResidentKiB() - before) * 1024, QTest::BytesAllocated);
    }
};

BEZIER7_TEST_MAIN(BenchDrag)
#include "bench_drag.moc"
