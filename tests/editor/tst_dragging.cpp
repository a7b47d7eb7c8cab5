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
        return index == 0 || index == 7 ? form->ControlArrays("Option1")(index)
                                        : form->ControlArrays("Command1")(index);
    }

    QWidget *widget(int index) const
    {
        const QString name = index == 0 || index == 7 ? QStringLiteral("Option1(%1)").arg(index)
                                                      : QStringLiteral("Command1(%1)").arg(index);
        return Control(Window("Form1"), name.toLatin1().constData());
    }

    QString text(const char *name) const
    {
        return Control(Window("Form1"), name)->property("text").toString();
    }

private slots:
    void init()
    {
        form = std::make_unique<Form1>();
        form->Form_Load();
        QVERIFY(QTest::qWaitForWindowExposed(Window("Form1")));
        QCoreApplication::processEvents();
    }

    void cleanup() { form.reset(); }

    void hoverShowsTheIndexAndChangesNothingElse()
    {
        const QImage before = Picture(Window("Form1"));
        Pointer pointer(Window("Form1"));
        pointer.moveOnto(widget(4), 60, 60);
        QCOMPARE(text("Text_Ind"), QString("4"));
        QCOMPARE(text("Text_x"), QString("x"));
        QCOMPARE(text("Text_y"), QString("y"));
        QCOMPARE(widget(4)->pos(), QPoint(84, 133));
        QCOMPARE(Picture(Window("Form1")), before);
        pointer.moveOnto(widget(0), 30, 30);
        QCOMPARE(text("Text_Ind"), QString("0"));
    }

    void handleJumpsToThePointerThenFollowsIt()
    {
        Pointer pointer(Window("Form1"));
        pointer.moveOnto(widget(2), 60, 45); // offset (ox, oy) inside handle 2
        pointer.press(Qt::LeftButton);
        pointer.moveTo(2625 + 60 + 150, 3150 + 45); // right by d = 150
        QCOMPARE(marker(2).Left(), 2625.0f + 60 + 150);
        QCOMPARE(marker(2).Top(), 3150.0f + 45);
        QCOMPARE(text("Text_x"), QString("2835"));
        QCOMPARE(text("Text_y"), QString("3195"));
        QCOMPARE(text("Text_Ind"), QString("2"));

        pointer.moveTo(3000, 2700);
        QCOMPARE(marker(2).Left(), 3000.0f);
        QCOMPARE(marker(2).Top(), 2700.0f);
        QCOMPARE(widget(2)->pos(), QPoint(200, 180));

        // The curve is redrawn through the new point, and the old one is gone from the screen.
        std::vector<float> x = InitialX;
        std::vector<float> y = InitialY;
        x[2] = 3000;
        y[2] = 2700;
        const QPointF middle = CurvePoint(x, y, 0.5);
        const QImage screen = Screen(Window("Form1"));
        QVERIFY(HasColourNear(
            screen, float(middle.x()), float(middle.y()), Foreground(Window("Form1"))));
        QVERIFY(!HasColourNear(screen, 2195.15625f, 2398.59375f, Foreground(Window("Form1"))));
        QCOMPARE(StrayInk(Window("Form1"), x, y), QString());
        pointer.release(Qt::LeftButton);
    }

    void dragGoesOnLeftOfAndAboveTheMarker()
    {
        Pointer pointer(Window("Form1"));
        pointer.moveOnto(widget(5), 15, 15);
        pointer.press(Qt::LeftButton);
        pointer.moveTo(2625 - 300, 1575 - 450);
        QCOMPARE(marker(5).Left(), 2325.0f);
        QCOMPARE(marker(5).Top(), 1125.0f);
        pointer.moveOnto(widget(6), 30, 30); // over another marker: still handle 5
        QCOMPARE(text("Text_Ind"), QString("5"));
        QCOMPARE(marker(5).Left(), 4860.0f);
        QCOMPARE(marker(6).Left(), 4830.0f);
    }

    void onlyTheLeftButtonAloneDragsWhateverTheShiftKeys()
    {
        Pointer pointer(Window("Form1"));
        pointer.moveOnto(widget(3), 30, 30);
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

        pointer.moveOnto(widget(1), 30, 30); // hovering again: nothing moves
        QCOMPARE(marker(1).Left(), 4830.0f);
    }

    // A dragged handle stays pressed wherever the pointer goes, and releasing it clicks it.
    void draggedHandleStaysPressedAndClicksOnRelease()
    {
        auto *handle = qobject_cast<QPushButton *>(widget(4));
        QSignalSpy clicked(handle, &QAbstractButton::clicked);
        Pointer pointer(Window("Form1"));
        pointer.moveOnto(widget(4), 60, 60);
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
        QCOMPARE(CountColour(Picture(Window("Form1")), Red), 0);
        form->Command1_MouseMove(2, 1, 0, 0, 0);
        QCOMPARE(marker(2).Left(), 2625.0f);
        QCOMPARE(marker(2).Top(), 3150.0f);
        QCOMPARE(text("Text_x"), QString("2625"));
        QVERIFY(CountColour(Picture(Window("Form1")), Red) > 200);
        QVERIFY(HasColourNear(
            Picture(Window("Form1")), 2195.15625f, 2398.59375f, Foreground(Window("Form1"))));
    }

    void endPointCarriesTheTangentAndClosesTheCurve()
    {
        // Moved away, P7 carries the last sample and the start of the end tangent.
        Pointer pointer(Window("Form1"));
        pointer.moveOnto(widget(7), 15, 15);
        pointer.press(Qt::LeftButton);
        pointer.moveTo(6000, 900);
        pointer.release(Qt::LeftButton);
        std::vector<float> x = InitialX;
        std::vector<float> y = InitialY;
        x[7] = 6000;
        y[7] = 900;
        QCOMPARE(StrayInk(Window("Form1"), x, y), QString());
        const QImage picture = Screen(Window("Form1"));
        QVERIFY(HasColourNear(picture, 6000, 900, Foreground(Window("Form1"))));
        // Along the new end tangent, where the curve does not cover it.
        const std::array along { 0.5f, 0.6f, 0.7f, 0.8f, 0.9f };
        const auto red = std::count_if(along.begin(), along.end(), [&](float f) {
            return HasColourNear(picture, 6000 + f * (4830 - 6000), 900 + f * (1890 - 900), Red);
        });
        QVERIFY(red >= 3);
        QVERIFY(!HasColourNear(picture, 6142.5f, 2100, Red)); // the old end tangent is gone

        // Dropped onto P0, it closes the curve.
        pointer.moveOnto(widget(7), 15, 15);
        pointer.press(Qt::LeftButton);
        pointer.moveTo(7455, 2625);
        pointer.release(Qt::LeftButton);
        x[7] = 7455;
        y[7] = 2625;
        QCOMPARE(StrayInk(Window("Form1"), x, y), QString());
        QCOMPARE(text("Text_x"), QString("7455"));
        QCOMPARE(text("Text_y"), QString("2625"));
    }

    void markersMayLeaveTheClientArea()
    {
        Pointer pointer(Window("Form1"));
        pointer.moveOnto(widget(1), 30, 30);
        pointer.press(Qt::LeftButton);
        pointer.moveTo(-300, 6000);
        pointer.release(Qt::LeftButton);
        QCOMPARE(text("Text_x"), QString("-300"));
        QCOMPARE(text("Text_y"), QString("6000"));
        QCOMPARE(widget(1)->pos(), QPoint(-20, 400));
        Window("Form1")->resize(800, 600);
        QCoreApplication::processEvents();
        QCOMPARE(marker(1).Left(), -300.0f);
    }

    void eventsNoHardwareMakesAreHandledByTheSameRule()
    {
        // A left-button move sent to a marker that was never pressed moves it too.
        QWidget *handle = widget(6);
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
        QVERIFY(
            HasColourNear(Picture(Window("Form1")), 7455, 2625, Foreground(Window("Form1")), 0));
    }
};

BEZIER7_TEST_MAIN(TestDragging)
#include "tst_dragging.moc"
