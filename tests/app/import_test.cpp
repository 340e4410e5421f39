// The window's import among others: what it says of flights imported already, how it waits
// for another import into the same folder, and the logbook of a flight with a copy cut short.
#include <QApplication>
#include <QLabel>
#include <QProgressDialog>
#include <QSettings>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <thread>

#include "app/logbook_window.h"
#include "app_test_support.h"
#include "base/file.h"

using namespace krelby;
using namespace krelby::testing;

class ImportTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QString Path(const QString& name) const { return dir.path() + "/" + name; }

private slots:
    void init() { QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, Path("config")); }
    void cleanup() { dir.remove(); dir = QTemporaryDir(); }

    // The whole recording, then a copy of it cut short: the copy's flight is not written
    // again, and the logbook lists the flight once, whichever copy an earlier import made.
    void aCopyCutShortIsImportedAlreadyAndListedOnce() {
        const std::vector<Frame> flight = OneMinuteFlight();
        WriteRecording(Path("ZelvoBB.DAT"), flight);
        QDir().mkpath(Path("short"));
        WriteRecording(Path("short/ZelvoBB.DAT"), {flight.begin(), flight.begin() + 70});
        Run run(dir.path());
        for (const char* recording : {"ZelvoBB.DAT", "short/ZelvoBB.DAT"}) {
            run.prompter.answers.enqueue(Path(recording));
            run.window().ImportInternal();
        }
        QCOMPARE(run.prompter.messages, (QStringList{"Imported 1 flights.", "Imported 1 flights.\n1 flight was already imported."}));
        QCOMPARE(QDir(Path("Flights_INT")).entryList({"*.FLT"}), QStringList{"14-3-24 100100.FLT"});

        WriteFrames(Path("Flights_INT/14-3-24 100100 (2).FLT"), {flight.begin(), flight.begin() + 70});
        run.window().LogbookCommand();
        LogbookWindow* logbook = run.window().Logbook();
        QTRY_VERIFY(!logbook->Busy());
        QTableView* table = logbook->Table();
        QTRY_COMPARE(table->model()->rowCount(), 1);
        QCOMPARE(table->model()->index(0, 0).data().toString(), QString("Flights_INT/14-3-24 100100.FLT"));
        QCOMPARE(table->model()->index(0, 1).data().toString(), QString("2"));
        QVERIFY2(logbook->Totals()->text().startsWith("1 flights"), qPrintable(logbook->Totals()->text()));
    }

    // Another import holds the folder: after 2 s a box says so, and the import goes on once
    // the other has ended.
    void anImportWaitsForAnotherIntoTheSameFolder() {
        WriteRecording(Path("ZelvoBB.DAT"), OneMinuteFlight());
        Run run(dir.path());
        FileLock other;
        QCOMPARE(other.TryLock(Path("Flights_INT/.krelby-import.lock").toStdString()), 0);
        std::thread release([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(3000));
            other.Unlock();
        });
        QString shown;
        QTimer::singleShot(2600, [&] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* box = qobject_cast<QProgressDialog*>(w); box && box->isVisible()) shown = box->labelText();
        });
        run.prompter.answers.enqueue(Path("ZelvoBB.DAT"));
        run.window().ImportInternal();
        release.join();
        QCOMPARE(shown, QString("Waiting for another import into Flights_INT to end..."));
        QCOMPARE(run.prompter.messages, QStringList{"Imported 1 flights."});
        QCOMPARE(QDir(Path("Flights_INT")).entryList(QDir::Files | QDir::Hidden).size(), 1);
    }
};

QTEST_MAIN(ImportTest)
#include "import_test.moc"
