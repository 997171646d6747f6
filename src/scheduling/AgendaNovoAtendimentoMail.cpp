// The booking notice of the attendance screen: sent after the commit on a
// worker thread, its outcome shown beside the record, and sent again on
// request.
#include "scheduling/AgendaNovoAtendimentoScreen.h"
#include "db/DataModule.h"
#include "db/DbError.h"
#include "db/Sql.h"
#include "mail/BackgroundMail.h"
#include "mail/MailTransport.h"
#include "scheduling/BookingNotice.h"
#include "ui/LongWork.h"
#include "ui/Services.h"

#include <QLabel>
#include <QStatusBar>
#include <QTimer>

namespace {

const QString kSucesso = QStringLiteral("Operação realizada com sucesso!");

int toInt(const QVariant &v)
{
    return v.isValid() && !v.isNull() ? v.toInt() : 0;
}

} // namespace

void AgendaNovoAtendimentoScreen::notify(int idAtendimento, bool afterBooking)
{
    // The booking is committed before anything is mailed: whatever happens
    // to the mail, the clerk is told the booking stands.
    if (afterBooking)
        Services::messages().information(kSucesso, this);
    const std::optional<MailSettings> s = Mail::settings();
    if (!s) {
        showMailState(QStringLiteral("E-mail de aviso não enviado: falta a seção [mail] na configuração."));
        return;
    }
    MailMessage message;
    try {
        message = BookingNotice::compose(mainConnection(), idAtendimento, *s);
    } catch (const DbError &e) {
        mailDone(idAtendimento, afterBooking, Mail::Outcome{false, false, e.text()});
        return;
    }
    // A slow or silent server must not hold the window: the clerk goes on
    // working while the message travels.
    ++m_sending;
    updateActions();
    showMailState(QStringLiteral("Enviando e-mail..."));
    Mail::sendInBackground(*s, message, this, [this, idAtendimento, afterBooking](const Mail::Outcome &out) {
        --m_sending;
        updateActions();
        mailDone(idAtendimento, afterBooking, out);
    });
}

void AgendaNovoAtendimentoScreen::mailDone(int idAtendimento, bool afterBooking, const Mail::Outcome &out)
{
    // Never a box in front of long work holding a transaction: said once it
    // is over.
    if (LongWork::running()) {
        QTimer::singleShot(200, this, [this, idAtendimento, afterBooking, out] { mailDone(idAtendimento, afterBooking, out); });
        return;
    }
    const QString which = QStringLiteral(" (atendimento %1)").arg(idAtendimento);
    if (out.sent) {
        showMailState(QStringLiteral("E-mail de aviso enviado.") + which);
        if (!afterBooking)
            Services::messages().information(QStringLiteral("E-mail de aviso enviado."), this);
        return;
    }
    if (out.unconfirmed) {
        showMailState(QStringLiteral("E-mail de aviso: envio não confirmado.") + which);
        Services::messages().warning(QStringLiteral("O atendimento foi gravado; e-mail de aviso: envio não confirmado. O servidor de "
                                                    "e-mail recebeu a mensagem, mas não respondeu a tempo.\rVerifique a caixa "
                                                    "postal do serviço antes de usar \"Reenviar e-mail\"."),
                                     this);
        return;
    }
    showMailState(QStringLiteral("E-mail de aviso não enviado: ") + out.reason + which);
    Services::messages().warning(QStringLiteral("O atendimento foi gravado, mas o e-mail de aviso não foi enviado: ") + out.reason
                                     + QStringLiteral(".\rUse \"Reenviar e-mail\" para tentar de novo."),
                                 this);
}

QString AgendaNovoAtendimentoScreen::mailState() const { return m_mailState->text(); }

void AgendaNovoAtendimentoScreen::showMailState(const QString &text)
{
    m_mailState->setText(text);
    m_status->showMessage(text);
}

void AgendaNovoAtendimentoScreen::reenviarEmail()
{
    if (m_state.editing() || !currentKey().isValid() || m_sending > 0)
        return;
    notify(toInt(currentKey()), false);
}
