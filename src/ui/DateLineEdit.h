#pragma once
#include <QDate>
#include <QLineEdit>

// A date field that is a plain line edit: the register screens' date fields
// and the boxes a clerk may leave blank (an address's starting date). It
// reads dates exactly as DateEdit does, so the two kinds of field never
// disagree:
//  - entering it, by Tab or by a click, selects the whole date, so typing
//    replaces it wherever the cursor would have been;
//  - "04/01/2027", "4/1/2027", "04012027", "04/01/27" and "040127" all read
//    04/01/2027, and leaving it shows the date read with its four-digit
//    year (the century a two-digit year was given is seen at once);
//  - leaving it, or pressing Enter, with a date that does not exist, is half
//    typed or lies outside 01/01/1900 to 31/12/9999 shows a message naming
//    the field and gives the focus back with the text as typed;
//  - blank is left blank: whether a date is required is the screen's to say,
//    with its own message, when it saves.
// The text stays what QLineEdit holds (text(), setText(), clear()), always
// "dd/mm/yyyy" or empty once the clerk has left the field.
class DateLineEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit DateLineEdit(QWidget *parent = nullptr);

    // The date the text reads; invalid when blank or no date (or, typed, out
    // of the accepted range). A date set by the program reads as set.
    QDate date() const;
    // Shows `date` as "dd/mm/yyyy"; an invalid date blanks the field.
    void setDate(const QDate &date);
    // Nothing typed but the separators.
    bool isBlank() const;

    // The field's name in messages: its label's text without the colon.
    QString caption() const;
    // True when the field is blank or holds a date, taking what was typed.
    // Otherwise refuses as leaving it would (once per typed text) and gives
    // the field the focus back. Commands call it before reading the date.
    bool check();
    // `check` for every enabled, visible date line edit below `root`.
    // Commands call DateEdit::checkAll, which checks both kinds of field.
    static bool checkAll(QWidget *root);

    // Shared with DateEdit: the name a date field goes by in messages, and
    // the refusal of a text that read `typed` (invalid: no date at all).
    static QString captionOf(const QWidget *field);
    static QString refusalText(const QString &caption, const QDate &typed, const QDate &min, const QDate &max);

protected:
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    bool take(bool refuseAgain);
    void refuse();
    void focusBack(const QString &typedText);

    bool m_selectOnRelease = false;
    bool m_refusing = false;
    QString m_refusedText;
};
