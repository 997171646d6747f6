#pragma once
#include <QGridLayout>
#include <QHBoxLayout>
#include <QObject>
#include <QPushButton>
#include <QString>

class QLineEdit;

// A command button: its object name, and its caption without the "&" of its
// accelerator as accessible text, so that screen readers (and tests) name it
// by what the clerk reads.
QPushButton *commandButton(const QString &caption, const QString &objectName, QWidget *parent);

// A window's row of command buttons, left to right; stretch() pushes what
// follows to the right. The buttons belong to `owner` until the row joins
// the owner's layout.
class ButtonRow : public QHBoxLayout {
public:
    explicit ButtonRow(QWidget *owner) : m_owner(owner) {}

    // A button the caller connects itself.
    QPushButton *add(const QString &caption, const QString &objectName)
    {
        QPushButton *b = commandButton(caption, objectName, m_owner);
        addWidget(b);
        return b;
    }
    // A button whose click runs `slot` of `receiver` (a member function or
    // a function object living as long as `receiver`).
    template <typename Receiver, typename Slot>
    QPushButton *add(const QString &caption, const QString &objectName, Receiver *receiver, Slot slot)
    {
        QPushButton *b = add(caption, objectName);
        QObject::connect(b, &QPushButton::clicked, receiver, slot);
        return b;
    }
    void stretch() { addStretch(1); }

private:
    QWidget *m_owner;
};

// The row every search window opens with, in rows 0 and 1 of `grid`: the
// list of criteria under `criterionCaption`, the typed text under "Texto:"
// (taking the spare width), then the find and OK buttons. The window opens
// with the focus in the text.
struct SearchBarButtons {
    QPushButton *find;
    QPushButton *ok;
};
SearchBarButtons placeSearchBar(QGridLayout *grid, QWidget *parent, const QString &criterionCaption, QWidget *criterion,
                                QLineEdit *text, const QString &findCaption, const QString &findName,
                                const QString &okCaption = QStringLiteral("&OK"));
