#include "ui/DateLineEdit.h"
#include "db/Formats.h"
#include "ui/DateEdit.h"
#include "ui/Services.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QRegularExpressionValidator>

namespace {

bool inRange(const QDate &d)
{
    return d >= DateEdit::earliest() && d <= DateEdit::latest();
}

} // namespace

DateLineEdit::DateLineEdit(QWidget *parent) : QLineEdit(parent)
{
    // Digits and slashes only, as many as "dd/mm/yyyy" holds; blanks and
    // underscores are let through so that a pasted masked text still reads.
    setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9/ _]{0,10}")), this));
    setPlaceholderText(QStringLiteral("dd/mm/aaaa"));
    connect(this, &QLineEdit::textEdited, this, [this] { m_refusedText.clear(); });
}

QDate DateLineEdit::date() const
{
    const QDate d = DateEdit::read(text());
    if (isModified() && !inRange(d))
        return {};
    return d;
}

void DateLineEdit::setDate(const QDate &date)
{
    setText(date.isValid() ? Formats::date(date) : QString());
}

bool DateLineEdit::isBlank() const
{
    for (const QChar ch : text())
        if (ch != QLatin1Char('/') && ch != QLatin1Char(' ') && ch != QLatin1Char('_'))
            return false;
    return true;
}

QString DateLineEdit::captionOf(const QWidget *field)
{
    // A name given for screen readers is the fuller one ("Nascido entre: De"
    // where the label reads "De").
    QString text = field->accessibleName();
    if (text.isEmpty()) {
        if (QWidget *w = field->window()) {
            for (QLabel *l : w->findChildren<QLabel *>())
                if (l->buddy() == field) {
                    text = l->text();
                    break;
                }
        }
    }
    if (text.isEmpty())
        text = QStringLiteral("Data");
    text.remove(QLatin1Char('&'));
    text = text.trimmed();
    if (text.endsWith(QLatin1Char(':')))
        text.chop(1);
    return text.trimmed();
}

QString DateLineEdit::refusalText(const QString &caption, const QDate &typed, const QDate &min, const QDate &max)
{
    if (typed.isValid())
        return QStringLiteral("Data fora do período aceito no campo \"%1\".\rDigite uma data de %2 a %3.")
            .arg(caption, Formats::date(min), Formats::date(max));
    return QStringLiteral("Data inválida no campo \"%1\".\rDigite dia, mês e ano, como %2.")
        .arg(caption, Formats::date(QDate::currentDate()));
}

QString DateLineEdit::caption() const
{
    return captionOf(this);
}

void DateLineEdit::refuse()
{
    const QString shown = text();
    m_refusedText = shown;
    const QString message =
        refusalText(caption(), DateEdit::read(shown), DateEdit::earliest(), DateEdit::latest());
    QPointer<DateLineEdit> self(this);
    m_refusing = true;
    Services::messages().information(message, this);
    if (!self)
        return;
    m_refusing = false;
    focusBack(shown);
}

void DateLineEdit::focusBack(const QString &typedText)
{
    setFocus(Qt::OtherFocusReason);
    if (text() != typedText) {
        setText(typedText);
        setModified(true);
    }
    selectAll();
}

bool DateLineEdit::take(bool refuseAgain)
{
    if (isReadOnly() || !isModified())
        return true;
    if (isBlank()) {
        clear();
        return true;
    }
    const QDate d = DateEdit::read(text());
    if (d.isValid() && inRange(d)) {
        // Shown as read: the century a two-digit year was given is seen.
        setDate(d);
        return true;
    }
    if (refuseAgain || text() != m_refusedText)
        refuse();
    else
        focusBack(text());
    return false;
}

bool DateLineEdit::check()
{
    if (!isEnabled())
        return true;
    return take(false);
}

bool DateLineEdit::checkAll(QWidget *root)
{
    if (!root)
        return true;
    for (DateLineEdit *e : root->findChildren<DateLineEdit *>())
        if (e->isEnabled() && e->isVisibleTo(root) && !e->check())
            return false;
    return true;
}

void DateLineEdit::focusInEvent(QFocusEvent *event)
{
    QLineEdit::focusInEvent(event);
    if (m_refusing)
        return;
    selectAll();
    // A click places the cursor after the focus came; the selection is made
    // again when the button is released.
    m_selectOnRelease = event->reason() == Qt::MouseFocusReason;
}

void DateLineEdit::focusOutEvent(QFocusEvent *event)
{
    m_selectOnRelease = false;
    const Qt::FocusReason r = event->reason();
    const bool leaving = r != Qt::PopupFocusReason && r != Qt::ActiveWindowFocusReason && r != Qt::MenuBarFocusReason;
    // A box or a menu that took the focus for a moment leaves the text as
    // typed; refused, the field has the focus back already.
    if (leaving && !m_refusing && !take(true))
        return;
    QLineEdit::focusOutEvent(event);
}

void DateLineEdit::mouseReleaseEvent(QMouseEvent *event)
{
    QLineEdit::mouseReleaseEvent(event);
    // The click that brought the focus cleared the selection when it placed
    // the cursor; after a drag the clerk's own selection stays.
    if (m_selectOnRelease) {
        m_selectOnRelease = false;
        if (!hasSelectedText())
            selectAll();
    }
}

void DateLineEdit::keyPressEvent(QKeyEvent *event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && !take(true)) {
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}
