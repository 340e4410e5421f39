// A Prompter that answers file dialogs from a queue and records every dialog and message:
// for tests and for driving the window without a user.
#pragma once
#include <QQueue>
#include <QStringList>

#include "prompter.h"

namespace krelby {

class ScriptedPrompter : public Prompter {
public:
    QQueue<QString> answers;     // one per file dialog; an empty answer is a cancel
    QList<FileDialog> asked;     // the file dialogs shown, in order
    QStringList messages;         // message boxes, in order
    QStringList errors;           // error boxes, in order
    QStringList warnings;         // warning boxes, in order
    QQueue<Answer> replies;      // one per question; No when none is left
    QStringList questions;        // questions asked, in order
    QStringList offers;           // messages with a button, in order
    bool takeOffers = false;      // whether their button is chosen
    QQueue<bool> choices;        // the box of a file dialog that has one; left as it is when none

    QString OpenFile(QWidget*, const FileDialog& dialog) override { return FileAnswer(dialog); }
    QString SaveFile(QWidget*, const FileDialog& dialog) override { return FileAnswer(dialog); }
    void Message(QWidget*, const QString& text) override { messages << text; }
    void Error(QWidget*, const QString& text) override { errors << text; }
    void Warning(QWidget*, const QString& text) override { warnings << text; }
    Answer Ask(QWidget*, const QString& question) override {
        questions << question;
        return replies.isEmpty() ? Answer::No : replies.dequeue();
    }

    bool Offer(QWidget*, const QString& text, const QString&) override {
        offers << text;
        return takeOffers;
    }

private:
    QString FileAnswer(const FileDialog& dialog) {
        asked << dialog;
        if (dialog.chosen && !choices.isEmpty()) *dialog.chosen = choices.dequeue();
        return answers.isEmpty() ? QString() : answers.dequeue();
    }
};

}  // namespace krelby
