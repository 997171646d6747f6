#pragma once
#include <QDialog>
#include <functional>

class QPlainTextEdit;

// "Informação de agendamento.": the book's summary, one scrollable text.
class InformacaoAgendaDialog : public QDialog {
    Q_OBJECT
public:
    InformacaoAgendaDialog(const QString &text, QWidget *parent = nullptr);
    QString text() const;

    // Shows it modally; tests replace the showing with a function that
    // receives the text.
    static void present(const QString &text, QWidget *parent);
    static void setPresenterForTests(std::function<void(const QString &)> f);

private:
    QPlainTextEdit *m_text;
};
