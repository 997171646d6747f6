#include "ui/DateEdit.h"
#include "ui/DateLineEdit.h"
#include "db/Formats.h"
#include "ui/Services.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>

#include <algorithm>

namespace {

const QString kFormat = QStringLiteral("dd/MM/yyyy");

bool isDateCharacter(QChar ch)
{
    return ch.isDigit() || ch == QLatin1Char('/') || ch == QLatin1Char(' ') || ch == QLatin1Char('_');
}

// A text that reads a date with its four-digit year is complete: nothing
// the clerk may still type would change it, so it is taken at once. With a
// two-digit year ("04/01/20") the clerk may be on the way to a four-digit
// one; that text is taken when the field is left.
bool complete(const QString &text)
{
    QString t = text;
    t.remove(QLatin1Char(' ')).remove(QLatin1Char('_'));
    if (!t.contains(QLatin1Char('/')))
        return t.size() == 8;
    const int slash = t.lastIndexOf(QLatin1Char('/'));
    return t.size() - slash - 1 == 4;
}

} // namespace

DateEdit::DateEdit(QWidget *parent) : QDateEdit(parent)
{
    init();
}

DateEdit::DateEdit(const QDate &date, QWidget *parent) : QDateEdit(date, parent)
{
    init();
}

void DateEdit::init()
{
    setDisplayFormat(kFormat);
    setCalendarPopup(true);
    QDateEdit::setDateRange(qMax(minimumDate(), earliest()), qMin(maximumDate(), latest()));
    // The editor's own reaction to cursor moves jumps between sections and
    // puts the previous date back while a date is half typed; here the text
    // is the clerk's until it is read whole.
    disconnect(lineEdit(), &QLineEdit::cursorPositionChanged, this, nullptr);
    connect(lineEdit(), &QLineEdit::cursorPositionChanged, this, [this] { updateMicroFocus(); });
    lineEdit()->installEventFilter(this);
    connect(lineEdit(), &QLineEdit::textEdited, this, [this](const QString &text) {
        m_refusedText.clear();
        if (!complete(text))
            return;
        const QDate d = read(text);
        if (d.isValid() && inRange(d) && d != QDateEdit::date())
            setDate(d);
    });
}

QDate DateEdit::earliest()
{
    return QDate(1900, 1, 1);
}

QDate DateEdit::latest()
{
    // The day after must still be a date every engine binds (SQLite gets an
    // empty text for the year 10000).
    return QDate(9998, 12, 31);
}

QDate DateEdit::read(const QString &text)
{
    QString t = text;
    t.remove(QLatin1Char(' ')).remove(QLatin1Char('_'));
    if (!t.contains(QLatin1Char('/'))) {
        for (const QChar ch : t)
            if (!ch.isDigit())
                return {};
        if (t.size() != 6 && t.size() != 8)
            return {};
        t = t.left(2) + QLatin1Char('/') + t.mid(2, 2) + QLatin1Char('/') + t.mid(4);
    }
    return Formats::parseDate(t);
}

QDate DateEdit::typed() const
{
    return read(lineEdit()->text());
}

bool DateEdit::isTyping() const
{
    return lineEdit()->text() != QDateEdit::date().toString(kFormat);
}

QDate DateEdit::date() const
{
    if (isTyping()) {
        const QDate d = typed();
        if (d.isValid() && inRange(d))
            return d;
    }
    return QDateEdit::date();
}

void DateEdit::setDateRange(const QDate &min, const QDate &max)
{
    QDateEdit::setDateRange(qMax(min, earliest()), qMin(max, latest()));
}

void DateEdit::setMinimumDate(const QDate &min)
{
    QDateEdit::setMinimumDate(qMax(min, earliest()));
}

void DateEdit::setMaximumDate(const QDate &max)
{
    QDateEdit::setMaximumDate(qMin(max, latest()));
}

bool DateEdit::inRange(const QDate &d) const
{
    return d >= minimumDate() && d <= maximumDate();
}

QString DateEdit::caption() const
{
    return DateLineEdit::captionOf(this);
}

void DateEdit::refuse()
{
    const QString shown = lineEdit()->text();
    m_refusedText = shown;
    const QString text = DateLineEdit::refusalText(caption(), typed(), minimumDate(), maximumDate());
    QPointer<DateEdit> self(this);
    m_refusing = true;
    Services::messages().information(text, this);
    if (!self)
        return;
    m_refusing = false;
    focusBack(shown);
}

void DateEdit::focusBack(const QString &typedText)
{
    // Taking the focus shows the date held again: the text stays as typed,
    // selected, for the clerk to mend or retype.
    setFocus(Qt::OtherFocusReason);
    if (lineEdit()->text() != typedText)
        lineEdit()->setText(typedText);
    lineEdit()->selectAll();
}

bool DateEdit::takeTyped(bool refuseAgain)
{
    if (!isTyping() || isReadOnly())
        return true;
    const QDate d = typed();
    if (d.isValid() && inRange(d)) {
        setDate(d);
        // The same date as before does not rewrite the text by itself.
        lineEdit()->setText(d.toString(kFormat));
        return true;
    }
    if (refuseAgain || lineEdit()->text() != m_refusedText)
        refuse();
    else
        focusBack(lineEdit()->text());
    return false;
}

bool DateEdit::check()
{
    if (!isEnabled())
        return true;
    return takeTyped(false);
}

bool DateEdit::checkAll(QWidget *root)
{
    if (!root)
        return true;
    for (DateEdit *e : root->findChildren<DateEdit *>())
        if (e->isEnabled() && e->isVisibleTo(root) && !e->check())
            return false;
    // The dates typed as text are read the same way.
    return DateLineEdit::checkAll(root);
}

QValidator::State DateEdit::validate(QString &input, int &pos) const
{
    Q_UNUSED(pos);
    if (input.size() > 10 || !std::all_of(input.cbegin(), input.cend(), isDateCharacter))
        return QValidator::Invalid;
    const QDate d = read(input);
    if (d.isValid() && inRange(d) && input == d.toString(kFormat))
        return QValidator::Acceptable;
    return QValidator::Intermediate;
}

void DateEdit::fixup(QString &input) const
{
    const QDate d = read(input);
    if (d.isValid() && inRange(d))
        input = d.toString(kFormat);
}

QDateTime DateEdit::dateTimeFromText(const QString &text) const
{
    const QDate d = read(text);
    if (!d.isValid())
        return QDateEdit::dateTimeFromText(text);
    return QDateTime(d, QTime(0, 0));
}

void DateEdit::stepBy(int steps)
{
    if (!takeTyped(true))
        return;
    const QDate now = QDateEdit::date();
    // Page Up and Page Down come as steps of ten.
    const QDate next = (steps % 10 == 0 && steps != 0) ? now.addMonths(steps / 10) : now.addDays(steps);
    setDate(qBound(minimumDate(), next, maximumDate()));
    lineEdit()->selectAll();
}

QAbstractSpinBox::StepEnabled DateEdit::stepEnabled() const
{
    if (isReadOnly())
        return StepNone;
    // From what is being typed: the step takes it first.
    const QDate now = date();
    StepEnabled e = StepNone;
    if (now > minimumDate())
        e |= StepDownEnabled;
    if (now < maximumDate())
        e |= StepUpEnabled;
    return e;
}

bool DateEdit::focusNextPrevChild(bool next)
{
    // Tab leaves the field; it never walks through day, month and year.
    return QWidget::focusNextPrevChild(next);
}

void DateEdit::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!takeTyped(true)) {
            event->accept();
            return;
        }
        QAbstractSpinBox::keyPressEvent(event);
        return;
    case Qt::Key_F4:
        QDateEdit::keyPressEvent(event);
        return;
    case Qt::Key_Down:
    case Qt::Key_Up:
        if (event->modifiers() & Qt::AltModifier) {
            QDateEdit::keyPressEvent(event); // opens the calendar
            return;
        }
        QAbstractSpinBox::keyPressEvent(event);
        return;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        if (!(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            focusNextPrevChild(event->key() == Qt::Key_Tab && !(event->modifiers() & Qt::ShiftModifier));
            event->accept();
            return;
        }
        break;
    default:
        break;
    }
    // Characters, Backspace, Delete and the cursor keys edit the text as in
    // any line edit, past the section handling.
    QAbstractSpinBox::keyPressEvent(event);
}

void DateEdit::focusInEvent(QFocusEvent *event)
{
    QDateEdit::focusInEvent(event);
    if (m_refusing)
        return;
    lineEdit()->selectAll();
    // A click places the cursor after the focus came; the selection is made
    // again when the button is released.
    m_selectOnRelease = event->reason() == Qt::MouseFocusReason;
}

void DateEdit::focusOutEvent(QFocusEvent *event)
{
    m_selectOnRelease = false;
    const Qt::FocusReason r = event->reason();
    const bool leaving = r != Qt::PopupFocusReason && r != Qt::ActiveWindowFocusReason && r != Qt::MenuBarFocusReason;
    if (m_refusing || !leaving) {
        // A box, the calendar or a menu took the focus for a moment: the
        // typed text stays untouched.
        QCoreApplication::sendEvent(lineEdit(), event);
        QWidget::focusOutEvent(event);
        return;
    }
    // Refused, the field has the focus back already.
    if (!takeTyped(true))
        return;
    QDateEdit::focusOutEvent(event);
}

bool DateEdit::eventFilter(QObject *watched, QEvent *event)
{
    // The click that brought the focus cleared the selection when it placed
    // the cursor; after a drag the clerk's own selection stays.
    if (watched == lineEdit() && event->type() == QEvent::MouseButtonRelease && m_selectOnRelease) {
        m_selectOnRelease = false;
        if (!lineEdit()->hasSelectedText())
            lineEdit()->selectAll();
    }
    return QDateEdit::eventFilter(watched, event);
}
