#pragma once
#include <QString>
#include <QStringList>

class QWidget;

// What a screen tells the user and asks of them. Screens call these instead
// of opening boxes themselves, so tests can run the real screens, record what
// would have been shown and answer the questions.
class Messages {
public:
    virtual ~Messages() = default;
    // In message texts "\r" stands for a line break inside the box.
    virtual void information(const QString &text, QWidget *parent = nullptr) = 0;
    virtual void warning(const QString &text, QWidget *parent = nullptr) = 0;
    virtual void error(const QString &text, QWidget *parent = nullptr) = 0;
    // Yes/No; true for Yes.
    virtual bool confirm(const QString &text, QWidget *parent = nullptr) = 0;
};

// File names chosen by the user; an empty text when they cancelled.
class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    virtual QString saveFileName(const QString &caption, const QString &suggested,
                                 const QString &filter, QWidget *parent = nullptr) = 0;
    virtual QString openFileName(const QString &caption, const QString &filter,
                                 QWidget *parent = nullptr) = 0;
};

namespace Services {

Messages &messages();
FileDialogs &fileDialogs();
// Installs other implementations (tests); nullptr restores the real ones.
void setMessages(Messages *m);
void setFileDialogs(FileDialogs *f);

// The real message boxes (Portuguese buttons "Sim"/"Não").
Messages &widgetMessages();

} // namespace Services
