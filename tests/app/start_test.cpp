// The window's program start: --help and --version answer without opening a window, a
// mistake in the command line is a usage error, and every window carries the program's icon.
#include <QApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "app_test_support.h"

using namespace krelby::testing;

class StartTest : public QObject {
    Q_OBJECT

private slots:
    void commandLine_data() {
        QTest::addColumn<QString>("line");  // after the program's path, through the shell
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("out");  // stdout starts with it (empty: stdout is empty)
        QTest::addColumn<QString>("err");  // stderr holds it (empty: nothing of ours)
        const QString usage = "usage: krelby [FILE]\n";
        QTest::newRow("version") << "--version" << 0 << "krelby " KRELBY_VERSION "\n" << "";
        QTest::newRow("help") << "--help" << 0 << usage << "";
        QTest::newRow("-h after a file") << "x.FLT -h" << 0 << usage << "";
        QTest::newRow("Qt's own option") << "-platform offscreen --version" << 0 << "krelby " KRELBY_VERSION "\n" << "";
        QTest::newRow("unknown option") << "--bogus" << 2 << "" << "krelby: Unknown option --bogus\n" + usage;
        QTest::newRow("two files") << "a.FLT b.FLT" << 2 << "" << "krelby: Unexpected argument b.FLT\n" + usage;
        QTest::newRow("closed stdout") << "--version >&-" << 1 << ""
                                       << "krelby: Unable to write to standard output: Bad file descriptor\n";
        QTest::newRow("full disk") << "--help >/dev/full" << 1 << ""
                                   << "krelby: Unable to write to standard output: No space left on device\n";
    }
    // Under the offscreen platform a window would keep the program running: the time limit fails it.
    void commandLine() {
        QFETCH(QString, line);
        QFETCH(int, exitCode);
        QFETCH(QString, out);
        QFETCH(QString, err);
        QProcess p;
        p.start("sh", {"-c", "\"$0\" " + line, KRELBY_WINDOW});
        const bool ended = p.waitForFinished(20000);
        if (!ended) p.kill();
        QVERIFY2(ended, "a window was opened");
        QCOMPARE(p.exitCode(), exitCode);
        const QString stdOut = p.readAllStandardOutput(), stdErr = p.readAllStandardError();
        QVERIFY2(out.isEmpty() ? stdOut.isEmpty() : stdOut.startsWith(out), qPrintable(stdOut));
        // Qt may note its runtime folder first.
        QVERIFY2(err.isEmpty() ? !stdErr.contains("krelby") : stdErr.contains(err), qPrintable(stdErr));
    }

    void everyWindowHasTheIcon() {
        QTemporaryDir dir;
        Run run(dir.path());
        const QList<QSize> sizes = QApplication::windowIcon().availableSizes();
        QVERIFY(sizes.contains(QSize(48, 48)) && sizes.contains(QSize(256, 256)));
        QCOMPARE(run.window().windowIcon().cacheKey(), QApplication::windowIcon().cacheKey());
    }
};

QTEST_MAIN(StartTest)
#include "start_test.moc"
