#include "form1.h"
#include "initialcurve.h"
#include "testsupport.h"

#include <QApplication>
#include <QMainWindow>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>
#include <array>

using namespace testsupport;

namespace {
const QColor Red(255, 0, 0);
}

class TestDragging : public QObject {
    Q_OBJECT

    std::unique_ptr<Form1> form;

    platform::Control &marker(int index) const
    {
        return index == 0 || index == 7 ? form->controlArray("Option1")(index)
                                        : form->controlArray("Command1")(index);
    }

    QString text(const char *name) const
    {
        return QString::fromStdString(form->control(name).Text());
    }

    // Between events every control point equals its marker's position.
    bool pointsMatchMarkers() const
    {
        for (int i = 0; i <= 7; ++i)
            if (Model(*form).PointX[i] != marker(i).Left()
                || Model(*form).PointY[i] != marker(i).Top())
                return false;
        return true;
    }

private slots:
    void init()
    {
        form = std::make_unique<Form1>();
        form->Form_Load();
        QVERIFY(QTest::qWaitForWindowExposed(Window(*form)));
        QCoreApplication::processEvents();
    }

    void cleanup() { form.reset(); }

    void hoverShowsTheIndexAndChangesNothingElse()
    {
        const QImage before = Picture(*form);
        const std::vector<float> x = Model(*form).PointX;
        Pointer pointer(*form);
        pointer.moveOnto(marker(4), 60, 60);
        QCOMPARE(text("Text_Ind"), QString("4"));
        QCOMPARE(text("Text_x"), QString("x"));
        QCOMPARE(text("Text_y"), QString("y"));
        QCOMPARE(Model(*form).PointX, x);
        QCOMPARE(marker(4).Left(), 1260.0f);
        QCOMPARE(Picture(*form), before);
        pointer.moveOnto(marker(0), 30, 30);
        QCOMPARE(text("Text_Ind"), QString("0"));
    }

    void handleJumpsToThePointerThenFollowsIt()
    {
        Pointer pointer(*form);
        pointer.moveOnto(marker(2), 60, 45); // offset (ox, oy) inside handle 2
        pointer.press(Qt::LeftButton);
        pointer.moveTo(2625 + 60 + 150, 3150 + 45); // right by d = 150
        QCOMPARE(marker(2).Left(), 2625.0f + 60 + 150);
        QCOMPARE(marker(2).Top(), 3150.0f + 45);
        QCOMPARE(text("Text_x"), QString("2835"));
        QCOMPARE(text("Text_y"), QString("3195"));
        QCOMPARE(text("Text_Ind"), QString("2"));
        QVERIFY(pointsMatchMarkers());

        pointer.moveTo(3000, 2700);
        QCOMPARE(marker(2).Left(), 3000.0f);
        QCOMPARE(marker(2).Top(), 2700.0f);
        QCOMPARE(marker(2).widget()->pos(), QPoint(200, 180));

        // The curve is redrawn through the new point, and the old one is gone from the screen.
        std::vector<float> x = InitialX;
        std::vector<float> y = InitialY;
        x[2] = 3000;
        y[2] = 2700;
        const QPointF middle = CurvePoint(x, y, 0.5);
        const QImage screen = Screen(*form);
        QVERIFY(HasColourNear(screen, float(middle.x()), float(middle.y()), Foreground(*form)));
        QVERIFY(!HasColourNear(screen, 2195.15625f, 2398.59375f, Foreground(*form)));
        QCOMPARE(StrayInk(*form, x, y), QString());
        pointer.release(Qt::LeftButton);
        QVERIFY(pointsMatchMarkers());
    }

    void dragGoesOnLeftOfAndAboveTheMarker()
    {
        Pointer pointer(*form);
        pointer.moveOnto(marker(5), 15, 15);
        pointer.press(Qt::LeftButton);
        pointer.moveTo(2625 - 300, 1575 - 450);
        QCOMPARE(marker(5).Left(), 2325.0f);
        QCOMPARE(marker(5).Top(), 1125.0f);
        pointer.moveOnto(marker(6), 30, 30); // over another marker: still handle 5
        QCOMPARE(text("Text_Ind"), QString("5"));
        QCOMPARE(marker(5).Left(), 4860.0f);
        QCOMPARE(marker(6).Left(), 4830.0f);
        QVERIFY(pointsMatchMarkers());
    }

    void onlyTheLeftButtonAloneDragsWhateverTheShiftKeys()
    {
        Pointer pointer(*form);
        pointer.moveOnto(marker(3), 30, 30);
        pointer.press(Qt::LeftButton);
        pointer.press(Qt::RightButton);
        pointer.moveTo(600, 600);
        QCOMPARE(text("Text_Ind"), QString("3"));
        QCOMPARE(text("Text_x"), QString("x"));
        QCOMPARE(marker(3).Left(), 1260.0f);
        pointer.release(Qt::RightButton);

        pointer.moveTo(900, 600, Qt::ShiftModifier);
        QCOMPARE(marker(3).Left(), 900.0f);
        pointer.moveTo(900, 750, Qt::ControlModifier);
        QCOMPARE(marker(3).Top(), 750.0f);
        QCOMPARE(text("Text_y"), QString("750"));
        pointer.release(Qt::LeftButton);

        pointer.moveOnto(marker(1), 30, 30); // hovering again: nothing moves
        QCOMPARE(marker(1).Left(), 4830.0f);
        QVERIFY(pointsMatchMarkers());
    }

    // A dragged handle stays pressed wherever the pointer goes, and releasing it clicks it.
    void draggedHandleStaysPressedAndClicksOnRelease()
    {
        auto *handle = qobject_cast<QPushButton *>(marker(4).widget());
        QSignalSpy clicked(handle, &QAbstractButton::clicked);
        Pointer pointer(*form);
        pointer.moveOnto(marker(4), 60, 60);
        pointer.press(Qt::LeftButton);
        QVERIFY(handle->isDown());
        for (const QPoint step : { QPoint(900, 900), QPoint(600, 450), QPoint(1200, 300) }) {
            pointer.moveTo(float(step.x()), float(step.y()));
            QVERIFY(handle->isDown());
        }
        pointer.release(Qt::LeftButton);
        QCOMPARE(clicked.count(), 1);
        QCOMPARE(marker(4).Left(), 1200.0f);
    }

    void moveWithoutOffsetKeepsThePointAndRedraws()
    {
        form->Cls();
        QCOMPARE(CountColour(Picture(*form), Red), 0);
        form->Command1_MouseMove(2, 1, 0, 0, 0);
        QCOMPARE(marker(2).Left(), 2625.0f);
        QCOMPARE(marker(2).Top(), 3150.0f);
        QCOMPARE(text("Text_x"), QString("2625"));
        QVERIFY(CountColour(Picture(*form), Red) > 200);
        QVERIFY(HasColourNear(Picture(*form), 2195.15625f, 2398.59375f, Foreground(*form)));
    }

    void endPointCarriesTheTangentAndClosesTheCurve()
    {
        // Moved away, P7 carries the last sample and the start of the end tangent.
        Pointer pointer(*form);
        pointer.moveOnto(marker(7), 15, 15);
        pointer.press(Qt::LeftButton);
        pointer.moveTo(6000, 900);
        pointer.release(Qt::LeftButton);
        std::vector<float> x = InitialX;
        std::vector<float> y = InitialY;
        x[7] = 6000;
        y[7] = 900;
        QCOMPARE(StrayInk(*form, x, y), QString());
        const QImage picture = Screen(*form);
        QVERIFY(HasColourNear(picture, 6000, 900, Foreground(*form)));
        // Along the new end tangent, where the curve does not cover it.
        const std::array along { 0.5f, 0.6f, 0.7f, 0.8f, 0.9f };
        const auto red = std::count_if(along.begin(), along.end(), [&](float f) {
            return HasColourNear(picture, 6000 + f * (4830 - 6000), 900 + f * (1890 - 900), Red);
        });
        QVERIFY(red >= 3);
        QVERIFY(!HasColourNear(picture, 6142.5f, 2100, Red)); // the old end tangent is gone

        // Dropped onto P0, it closes the curve.
        pointer.moveOnto(marker(7), 15, 15);
        pointer.press(Qt::LeftButton);
        pointer.moveTo(7455, 2625);
        pointer.release(Qt::LeftButton);
        x[7] = 7455;
        y[7] = 2625;
        QCOMPARE(StrayInk(*form, x, y), QString());
        QCOMPARE(text("Text_x"), QString("7455"));
        QCOMPARE(text("Text_y"), QString("2625"));
        QVERIFY(pointsMatchMarkers());
    }

    void markersMayLeaveTheClientArea()
    {
        Pointer pointer(*form);
        pointer.moveOnto(marker(1), 30, 30);
        pointer.press(Qt::LeftButton);
        pointer.moveTo(-300, 6000);
        pointer.release(Qt::LeftButton);
        QCOMPARE(text("Text_x"), QString("-300"));
        QCOMPARE(text("Text_y"), QString("6000"));
        QCOMPARE(marker(1).widget()->pos(), QPoint(-20, 400));
        Window(*form)->resize(800, 600);
        QCoreApplication::processEvents();
        QCOMPARE(marker(1).Left(), -300.0f);
        QVERIFY(pointsMatchMarkers());
    }

    void eventsNoHardwareMakesAreHandledByTheSameRule()
    {
        // A left-button move sent to a marker that was never pressed moves it too.
        QWidget *handle = marker(6).widget();
        QMouseEvent unpressed(QEvent::MouseMove, QPointF(10, 20),
            handle->mapToGlobal(QPointF(10, 20)), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(handle, &unpressed);
        QCOMPARE(marker(6).Left(), 4830.0f + 150);
        QCOMPARE(marker(6).Top(), 1890.0f + 300);

        // Several buttons at once, and offsets far beyond any screen.
        QMouseEvent several(QEvent::MouseMove, QPointF(5, 5), QPointF(5, 5), Qt::NoButton,
            Qt::LeftButton | Qt::MiddleButton, Qt::NoModifier);
        QApplication::sendEvent(handle, &several);
        QCOMPARE(marker(6).Left(), 4980.0f);
        QMouseEvent far(QEvent::MouseMove, QPointF(1e6, -1e6), QPointF(0, 0), Qt::NoButton,
            Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(handle, &far);
        QCOMPARE(marker(6).Left(), 4980.0f + 1.5e7f);
        QCOMPARE(text("Text_x"), QString("1.500498E+07"));
        QVERIFY(pointsMatchMarkers());
        QVERIFY(HasColourNear(Picture(*form), 7455, 2625, Foreground(*form), 0));
    }
};

BEZIER7_TEST_MAIN(TestDragging)
#include "tst_dragging.moc"
