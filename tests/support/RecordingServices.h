#pragma once
#include "ui/Services.h"

#include <QStringList>

// Records what the user would have been shown and answers confirmations
// from a queue (Yes when the queue is empty). Installs itself while alive.
class RecordingMessages : public Messages {
public:
    RecordingMessages() { Services::setMessages(this); }
    ~RecordingMessages() override { Services::setMessages(nullptr); }

    struct Shown {
        QString kind; // "information", "warning", "error", "confirm"
        QString text;
    };
    QList<Shown> shown;
    QList<bool> answers;

    void information(const QString &t, QWidget *) override { shown.append({QStringLiteral("information"), t}); }
    void warning(const QString &t, QWidget *) override { shown.append({QStringLiteral("warning"), t}); }
    void error(const QString &t, QWidget *) override { shown.append({QStringLiteral("error"), t}); }
    bool confirm(const QString &t, QWidget *) override
    {
        shown.append({QStringLiteral("confirm"), t});
        return answers.isEmpty() ? true : answers.takeFirst();
    }

    QString last() const { return shown.isEmpty() ? QString() : shown.last().text; }
    QStringList texts() const
    {
        QStringList l;
        for (const Shown &s : shown)
            l << s.text;
        return l;
    }
    void clear() { shown.clear(); }
};

// Answers file dialogs with fixed names.
class RecordingFileDialogs : public FileDialogs {
public:
    RecordingFileDialogs() { Services::setFileDialogs(this); }
    ~RecordingFileDialogs() override { Services::setFileDialogs(nullptr); }
    QString nextSave;
    QString nextOpen;
    QStringList asked;
    QString saveFileName(const QString &caption, const QString &, const QString &, QWidget *) override
    {
        asked << caption;
        return nextSave;
    }
    QString openFileName(const QString &caption, const QString &, QWidget *) override
    {
        asked << caption;
        return nextOpen;
    }
};
