#include "prompter.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSplitter>
#include <QVBoxLayout>

namespace krelby {

QStringList QtNameFilters(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList result;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString text = parts[i].trimmed();
        QString pattern = parts[i + 1].trimmed();
        pattern.replace(QLatin1Char(';'), QLatin1Char(' '));
        // Qt reads the pattern from the last parentheses; a text that already ends in
        // them keeps its look.
        const QString tail = QLatin1Char('(') + pattern + QLatin1Char(')');
        if (!text.endsWith(tail, Qt::CaseInsensitive)) text += QLatin1Char(' ') + tail;
        result << text;
    }
    return result;
}

QString WithDefaultExtension(const QString& path, const QString& extension) {
    if (path.isEmpty() || extension.isEmpty()) return path;
    if (!QFileInfo(path).fileName().contains(QLatin1Char('.')))
        return path + QLatin1Char('.') + extension;
    return path;
}

namespace {

// Under the dialog's places, a list of `files` by name (the path as tooltip): a click picks
// one, a double-click opens it.
void ListRecent(QFileDialog& dialog, const QStringList& files) {
    auto* splitter = dialog.findChild<QSplitter*>("splitter");
    QWidget* places = dialog.findChild<QWidget*>("sidebar");
    if (!splitter || !places || splitter->indexOf(places) < 0) return;
    auto* side = new QWidget;
    auto* layout = new QVBoxLayout(side);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(places, 1);
    layout->addWidget(new QLabel("Recent flights"));
    auto* list = new QListWidget;
    list->setObjectName("RecentFlights");
    for (const QString& file : files) {
        auto* item = new QListWidgetItem(QFileInfo(file).fileName(), list);
        item->setToolTip(file);
        item->setData(Qt::UserRole, file);
    }
    layout->addWidget(list, 1);
    splitter->insertWidget(0, side);
    QObject::connect(list, &QListWidget::itemClicked, &dialog,
                     [&dialog](QListWidgetItem* item) { dialog.selectFile(item->data(Qt::UserRole).toString()); });
    QObject::connect(list, &QListWidget::itemDoubleClicked, &dialog, [&dialog](QListWidgetItem* item) {
        dialog.selectFile(item->data(Qt::UserRole).toString());
        static_cast<QDialog&>(dialog).accept();  // as its Open button does
    });
}

QString Run(QWidget* parent, const FileDialog& ask, QFileDialog::AcceptMode mode) {
    QFileDialog dialog(parent, ask.title, ask.folder);
    // Qt's own dialog applies the default extension before its overwrite question.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);
    dialog.setNameFilters(QtNameFilters(ask.filter));
    dialog.setDefaultSuffix(ask.defaultExtension);
    if (!ask.initialName.isEmpty()) dialog.selectFile(ask.initialName);
    if (!ask.recent.isEmpty()) ListRecent(dialog, ask.recent);
    QCheckBox* box = nullptr;
    if (!ask.choice.isEmpty() && ask.chosen) {
        box = new QCheckBox(ask.choice);
        box->setObjectName("DialogChoice");
        box->setChecked(*ask.chosen);
        // Qt's own dialog lays itself out on a grid: the box goes in a row of its own under it.
        if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) {
            grid->addWidget(box, grid->rowCount(), 0, 1, -1);
        } else {
            delete box;
            box = nullptr;
        }
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    if (box) *ask.chosen = box->isChecked();
    return WithDefaultExtension(dialog.selectedFiles().first(), ask.defaultExtension);
}

}  // namespace

QString DialogPrompter::OpenFile(QWidget* parent, const FileDialog& dialog) {
    return Run(parent, dialog, QFileDialog::AcceptOpen);
}

QString DialogPrompter::SaveFile(QWidget* parent, const FileDialog& dialog) {
    return Run(parent, dialog, QFileDialog::AcceptSave);
}

void DialogPrompter::Message(QWidget* parent, const QString& text) {
    QMessageBox::information(parent, kAppTitle, text);
}

void DialogPrompter::Error(QWidget* parent, const QString& text) {
    QMessageBox::critical(parent, kAppTitle, text);
}

void DialogPrompter::Warning(QWidget* parent, const QString& text) {
    QMessageBox::warning(parent, kAppTitle, text);
}

Answer DialogPrompter::Ask(QWidget* parent, const QString& question) {
    switch (QMessageBox::question(parent, kAppTitle, question,
                                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes)) {
        case QMessageBox::Yes: return Answer::Yes;
        case QMessageBox::No: return Answer::No;
        default: return Answer::Cancel;  // also the window's close button and Esc
    }
}

bool DialogPrompter::Offer(QWidget* parent, const QString& text, const QString& button) {
    QMessageBox box(QMessageBox::Information, kAppTitle, text, QMessageBox::Ok, parent);
    QPushButton* action = box.addButton(button, QMessageBox::ActionRole);
    box.setDefaultButton(QMessageBox::Ok);
    box.exec();
    return box.clickedButton() == action;
}

}  // namespace krelby
