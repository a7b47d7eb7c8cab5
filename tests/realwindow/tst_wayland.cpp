#include "curvepicture.h"
#include "realwindow.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace testsupport;

namespace {

const QString Socket = QStringLiteral("bezier7-test");

} // namespace

// The built program as a native Wayland client of a headless compositor (weston) of the test's
// own. Input cannot be injected on a headless Wayland compositor, so this test only looks: the
// dragging is left to the X11 real-window tests.
class TestWayland : public QObject {
    Q_OBJECT

    QTemporaryDir runtime; // the session's XDG_RUNTIME_DIR, private to its user as Wayland wants
    QTemporaryDir shots; // where the screenshooter writes
    QProcess compositor;
    QProcess program;

    QProcessEnvironment session() const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("DISPLAY")); // no way back to X11
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        environment.insert(QStringLiteral("WAYLAND_DISPLAY"), Socket);
        return environment;
    }

    // The compositor's screenshot of its whole output (weston --debug lets clients take one).
    QImage screenshot() const
    {
        QProcess shooter;
        shooter.setProcessEnvironment(session());
        shooter.setWorkingDirectory(shots.path());
        shooter.start(QStringLiteral("weston-screenshooter"), {});
        if (!shooter.waitForFinished(PatienceMs) || shooter.exitCode() != 0)
            return {};
        QImage image;
        QDir folder(shots.path());
        for (const QString &name : folder.entryList({ QStringLiteral("*.png") })) {
            image.load(folder.filePath(name));
            folder.remove(name);
        }
        return image.convertToFormat(QImage::Format_RGB32);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(runtime.isValid() && shots.isValid());
        compositor.setProcessEnvironment(session());
        compositor.setProcessChannelMode(QProcess::MergedChannels);
        compositor.start(QStringLiteral("weston"),
            { "--backend=headless-backend.so", "--use-pixman", "--socket=" + Socket, "--debug",
                "--idle-time=0", "--width=1024", "--height=768" });
        QVERIFY2(compositor.waitForStarted(), "cannot start weston");
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(runtime.filePath(Socket)), PatienceMs);
    }

    void cleanupTestCase()
    {
        if (program.state() != QProcess::NotRunning) {
            program.kill();
            program.waitForFinished();
        }
        compositor.terminate();
        if (!compositor.waitForFinished(PatienceMs))
            compositor.kill();
    }

    void drawsTheFirstCurveAndPrintsNothing()
    {
        QProcessEnvironment environment = session();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("wayland"));
        program.setProcessEnvironment(environment);
        program.start(qEnvironmentVariable("BEZIER7_PROGRAM"), {});
        QVERIFY2(program.waitForStarted(), "cannot start the program in BEZIER7_PROGRAM");

        QImage screen;
        const bool shown
            = Eventually([&] { return FindCurve(screen = screenshot(), 1).has_value(); }, 100);
        RealWindow::save(screen, QStringLiteral("wayland.png"));
        QVERIFY2(shown, "the first curve never showed on the compositor's screen (wayland.png)");
        // Whatever the toolkit had to say about the compositor while the window was up: nothing.
        QCOMPARE(program.state(), QProcess::Running);
        program.terminate(); // a headless compositor has no close button to press
        QVERIFY(program.waitForFinished(PatienceMs));
        QCOMPARE(program.readAllStandardError(), QByteArray());
        QCOMPARE(program.readAllStandardOutput(), QByteArray());
    }
};

QTEST_GUILESS_MAIN(TestWayland)
#include "tst_wayland.moc"
