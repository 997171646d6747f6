#pragma once
#include "db/DataModule.h"
#include "db/Transaction.h"
#include "ui/Services.h"

#include <QStringList>
#include <QTest>

// Records what the user would have been shown and answers confirmations
// from a queue (Yes when the queue is empty). Installs itself while alive.
// A box shown while the main connection holds a transaction fails the test:
// the clerk would keep every other workstation waiting until it is closed.
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

    void information(const QString &t, QWidget *) override { record(QStringLiteral("information"), t); }
    void warning(const QString &t, QWidget *) override { record(QStringLiteral("warning"), t); }
    void error(const QString &t, QWidget *) override { record(QStringLiteral("error"), t); }
    bool confirm(const QString &t, QWidget *) override
    {
        record(QStringLiteral("confirm"), t);
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
    // Boxes shown while a transaction was open (each also failed the test).
    QStringList underTransaction;

private:
    void record(const QString &kind, const QString &t)
    {
        shown.append({kind, t});
        if (DataModule::hasCurrent() && Transaction::openOn(DataModule::current().main()) > 0) {
            underTransaction << t;
            QTest::qFail(qPrintable(QStringLiteral("message box shown inside an open transaction: ") + t), __FILE__, __LINE__);
        }
    }
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
