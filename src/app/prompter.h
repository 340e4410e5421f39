// Every file dialog and message box of the window goes through a Prompter, so tests can
// answer the dialogs and read the messages.
#pragma once
#include <QString>
#include <QStringList>

class QWidget;

namespace krelby {

inline const QString kAppTitle = QStringLiteral("Tarvik EFIS data recording tool");

struct FileDialog {
    QString title;
    QString filter;  // "text|pattern|text|pattern"
    QString defaultExtension;
    QString initialName;
    QString folder;
    QStringList recent = {};  // files listed beside the folders (the Flight dialog's recent flights)
    // A box under the file list (the report's choice of charts): its caption, and where its
    // state is read from and, once the dialog is accepted, written to.
    QString choice = {};
    bool* chosen = nullptr;
};

enum class Answer { Yes, No, Cancel };

class Prompter {
public:
    virtual ~Prompter() = default;
    // The chosen path, or empty when cancelled.
    virtual QString OpenFile(QWidget* parent, const FileDialog& dialog) = 0;
    // Asks before overwriting an existing file.
    virtual QString SaveFile(QWidget* parent, const FileDialog& dialog) = 0;
    virtual void Message(QWidget* parent, const QString& text) = 0;
    virtual void Error(QWidget* parent, const QString& text) = 0;
    // News that something is wrong though nothing failed.
    virtual void Warning(QWidget* parent, const QString& text) { Message(parent, text); }
    // A question with Yes, No and Cancel.
    virtual Answer Ask(QWidget* parent, const QString& question) = 0;
    // A message with a button for what may follow ("Open"), beside OK: whether it was chosen.
    virtual bool Offer(QWidget* parent, const QString& text, const QString& button) {
        Message(parent, text);
        (void)button;
        return false;
    }
};

// Qt's own file dialogs (the same on every desktop) and message boxes titled kAppTitle.
class DialogPrompter : public Prompter {
public:
    QString OpenFile(QWidget* parent, const FileDialog& dialog) override;
    QString SaveFile(QWidget* parent, const FileDialog& dialog) override;
    void Message(QWidget* parent, const QString& text) override;
    void Error(QWidget* parent, const QString& text) override;
    void Warning(QWidget* parent, const QString& text) override;
    Answer Ask(QWidget* parent, const QString& question) override;
    bool Offer(QWidget* parent, const QString& text, const QString& button) override;
};

// "text|pattern|..." as Qt name filters "text (pattern)".
QStringList QtNameFilters(const QString& filter);
// A name typed without extension gets the default one.
QString WithDefaultExtension(const QString& path, const QString& extension);

}  // namespace krelby
