#include "scheduling/InformacaoAgendaDialog.h"

#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace {
std::function<void(const QString &)> &presenter()
{
    static std::function<void(const QString &)> f;
    return f;
}
} // namespace

InformacaoAgendaDialog::InformacaoAgendaDialog(const QString &text, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmInformacaoAgenda"));
    setWindowTitle(QStringLiteral("Informação de agendamento."));
    auto *v = new QVBoxLayout(this);
    m_text = new QPlainTextEdit(this);
    m_text->setObjectName(QStringLiteral("memInformacao"));
    m_text->setReadOnly(true);
    m_text->setPlainText(text);
    m_text->setAccessibleName(QStringLiteral("Informação de agendamento."));
    v->addWidget(m_text);
    resize(560, 420);
}

QString InformacaoAgendaDialog::text() const
{
    return m_text->toPlainText();
}

void InformacaoAgendaDialog::present(const QString &text, QWidget *parent)
{
    if (presenter()) {
        presenter()(text);
        return;
    }
    InformacaoAgendaDialog d(text, parent);
    d.exec();
}

void InformacaoAgendaDialog::setPresenterForTests(std::function<void(const QString &)> f)
{
    presenter() = std::move(f);
}
