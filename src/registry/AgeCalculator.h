#pragma once
#include <QDate>
#include <QDateTime>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>

class QLineEdit;
class QPushButton;

// Calendar-month arithmetic: the day of the month is kept, lowered to the
// last day of the new month when that month is shorter (31 May less three
// months is 28 February, or 29 in a leap year); the time of day is kept.
// An invalid QDateTime when the result falls outside the years 1 to 9999.
QDateTime shiftMonths(const QDateTime &from, int months);

// The months to count back for an age of `anos` years and `meses` months
// (negative: back in time). An empty box counts as 0; ok is false when a
// box holds anything but an integer (or the age does not fit).
int monthsBack(const QString &anos, const QString &meses, bool *ok);

// "Calcula Idade": turns an age into a birth date counted back from the
// server's date and writes it into the animal record being typed. A window
// of its own, not modal, freed when closed.
//
// `target` is the object owning that animal record (the register screen):
// when it has gone, or `editing()` says the record is not being inserted or
// edited, or nothing was calculated, OK only closes the window. Nothing is
// written to a register that closed in the meantime: its record was
// already abandoned or saved.
class CalculaIdadeScreen : public QWidget {
    Q_OBJECT
public:
    CalculaIdadeScreen(QObject *target, std::function<bool()> editing, std::function<void(const QDate &)> write,
                       QWidget *parent = nullptr);

    // The date last calculated (invalid before the first calculation).
    QDate calculatedDate() const { return m_date.date(); }

public slots:
    void calcular();
    void ok();

protected:
    void showEvent(QShowEvent *event) override;

private:
    QPointer<QObject> m_target;
    std::function<bool()> m_editing;
    std::function<void(const QDate &)> m_write;
    QDateTime m_date;
    bool m_centred = false;
    QLineEdit *m_ano;
    QLineEdit *m_meses;
    QLineEdit *m_dataNascimento;
    QPushButton *m_calcular;
    QPushButton *m_ok;
};
