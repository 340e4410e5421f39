// krelby-screenshot RECORDING OUT.png [DIALOGS_PREFIX]
// Imports RECORDING into a temporary program folder through the Import menu command, shows
// its longest flight with nine data items through the Flight command, and saves the whole
// window as OUT.png; beside it the chart printed to print.pdf (as the print preview prints
// it, on A4 landscape) and the window after a wheel notch over the chart, with the mouse's
// readout, as zoomed.png; then with the track pane shown and the mouse over the chart, as
// track.png.
// With DIALOGS_PREFIX also pictures of the two dialogs' pages.
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QPrinter>
#include <QSettings>
#include <QWheelEvent>
#include <qcustomplot.h>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>

#include "app/application.h"
#include "base/program_folder.h"
#include "chart/chart_widget.h"
#include "app/data_selection_dialog.h"
#include "app/logbook_window.h"
#include "app/options_dialog.h"
#include "app/scripted_prompter.h"

namespace {

void Settle() {
    for (int i = 0; i < 20; ++i) {
        QApplication::processEvents();
        QThread::msleep(10);
    }
}

bool Save(QWidget& widget, const QString& path) {
    Settle();
    if (widget.grab().save(path)) return true;
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication qt(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: krelby-screenshot RECORDING OUT.png [DIALOGS_PREFIX]\n");
        return 2;
    }
    QTemporaryDir folder;
    // The user's own window geometry plays no part in the pictures.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder.path());
    krelby::ScriptedPrompter prompter;
    krelby::Application app((folder.path() + "/").toStdString(), &prompter);
    krelby::MainWindow& window = app.window();
    // Altitudes, speeds, vertical speed, engine speed, oil pressure and temperature, two EGTs.
    for (int item : {1, 3, 35, 6, 11, 12, 15, 20, 21})
        app.session().settings.selection.Set(item, true);
    window.resize(1100, 680);
    window.show();
    Settle();

    prompter.answers.enqueue(QFileInfo(argv[1]).absoluteFilePath());
    window.ImportInternal();
    QFileInfoList flights = QDir(folder.path() + "/" + krelby::kInternalFlightsFolder).entryInfoList({"*.FLT"}, QDir::Files, QDir::Size);
    if (!flights.isEmpty()) {
        prompter.answers.enqueue(flights.first().absoluteFilePath());
        window.FlightCommand();
    }
    for (const QString& m : prompter.messages) std::printf("message: %s\n", qPrintable(m));
    for (const QString& e : prompter.errors) std::printf("error: %s\n", qPrintable(e));
    bool ok = Save(window, argv[2]);
    const QString beside = QFileInfo(argv[2]).absolutePath() + "/";
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setPageOrientation(QPageLayout::Landscape);
        printer.setOutputFileName(beside + "print.pdf");
        window.Chart()->Print(printer);
    }
    {
        QCustomPlot* plot = window.Chart()->Plot();
        const QRect area = plot->axisRect()->rect();
        const QPoint at(area.left() + area.width() / 3, area.center().y());
        QWheelEvent wheel(at, plot->mapToGlobal(at), {}, QPoint(0, 120), Qt::NoButton, {}, Qt::NoScrollPhase, false);
        QApplication::sendEvent(plot, &wheel);
        const QPoint hover = at + QPoint(area.width() / 5, 0);
        QMouseEvent move(QEvent::MouseMove, hover, plot->mapToGlobal(hover), Qt::NoButton, Qt::NoButton, {});
        QApplication::sendEvent(plot, &move);
        ok = Save(window, beside + "zoomed.png") && ok;
    }
    {
        // The logbook of the imported flights, once its worker is done.
        window.LogbookCommand();
        krelby::LogbookWindow* logbook = window.Logbook();
        for (int i = 0; i < 500 && logbook->Busy(); ++i) {
            QApplication::processEvents();
            QThread::msleep(10);
        }
        QApplication::processEvents();
        ok = Save(*logbook, beside + "logbook.png") && ok;
        logbook->hide();
    }
    {
        // The track pane beside the zoomed chart, its marker where the mouse points.
        window.resize(1280, 720);
        window.ViewTrack()->setChecked(true);
        Settle();
        QCustomPlot* plot = window.Chart()->Plot();
        const QRect area = plot->axisRect()->rect();
        const QPoint hover(area.left() + area.width() * 3 / 5, area.center().y());
        QMouseEvent move(QEvent::MouseMove, hover, plot->mapToGlobal(hover), Qt::NoButton, Qt::NoButton, {});
        QApplication::sendEvent(plot, &move);
        ok = Save(window, beside + "track.png") && ok;
    }
    if (argc > 3) {
        const QString prefix = argv[3];
        krelby::DataSelectionDialog* data = window.DataDialog();
        data->Pages()->setCurrentIndex(3);
        data->show();
        ok = Save(*data, prefix + "-data.png") && ok;
        data->Pages()->setCurrentIndex(4);
        ok = Save(*data, prefix + "-data-zeda.png") && ok;
        data->hide();
        window.Options()->show();
        ok = Save(*window.Options(), prefix + "-options.png") && ok;
        auto* pages = window.Options()->findChild<QTabWidget*>();
        pages->setCurrentIndex(1);
        ok = Save(*window.Options(), prefix + "-options-units.png") && ok;
        pages->setCurrentIndex(2);
        ok = Save(*window.Options(), prefix + "-options-zeda.png") && ok;
        window.Options()->hide();
    }
    return ok && prompter.errors.isEmpty() ? 0 : 1;
}
