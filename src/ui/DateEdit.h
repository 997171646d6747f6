#pragma once
#include <QDateEdit>

// The date field of every screen. It keeps QDateEdit's interface (date(),
// setDate(), ranges, dateChanged, the calendar popup), but the clerk types
// the whole date as text instead of editing it section by section:
//  - entering it, by Tab or by a click, selects the whole date, so typing
//    replaces it wherever the cursor would have been;
//  - "04/01/2027", "4/1/2027", "04012027", "04/01/27" and "040127" all read
//    04/01/2027 (two-digit years as the register screens read them);
//  - leaving it, or pressing Enter, with a date that does not exist, is
//    half typed or lies outside the field's range shows a message naming the
//    field and gives the focus back with the text as typed: never another
//    date in silence;
//  - the arrow keys and the wheel move one day (one month with Page Up and
//    Page Down).
// The range never goes past what the three engines bind (periods are
// searched up to the day after their end through Formats::dayAfter).
class DateEdit : public QDateEdit {
    Q_OBJECT
public:
    explicit DateEdit(QWidget *parent = nullptr);
    explicit DateEdit(const QDate &date, QWidget *parent = nullptr);

    // The widest range a field accepts.
    static QDate earliest(); // 01/01/1900
    static QDate latest();   // 31/12/9999
    // What a clerk's text reads; invalid when it is no date.
    static QDate read(const QString &text);

    // The date shown or, while the clerk is typing one, the date the text
    // reads once complete (a command started from a toolbar, which takes no
    // focus, sees what was typed).
    QDate date() const;
    void setDateRange(const QDate &min, const QDate &max);
    void setMinimumDate(const QDate &min);
    void setMaximumDate(const QDate &max);

    // The field's name in messages: its label's text without the colon.
    QString caption() const;
    // True when the field holds a date in its range, taking what was typed.
    // Otherwise refuses as leaving it would (once per typed text) and gives
    // the field the focus back. Commands call it before reading the date.
    bool check();
    // `check` for every enabled, visible date field below `root`.
    static bool checkAll(QWidget *root);
    // The text differs from the date shown: the clerk is typing.
    bool isTyping() const;

protected:
    QValidator::State validate(QString &input, int &pos) const override;
    void fixup(QString &input) const override;
    QDateTime dateTimeFromText(const QString &text) const override;
    void stepBy(int steps) override;
    StepEnabled stepEnabled() const override;
    bool focusNextPrevChild(bool next) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void init();
    QDate typed() const;
    bool inRange(const QDate &d) const;
    bool takeTyped(bool refuse);
    void refuse();
    void focusBack(const QString &typedText);

    bool m_selectOnRelease = false;
    bool m_refusing = false;
    QString m_refusedText;
};
