#include "scheduling/BookingNotice.h"
#include "db/DataModule.h"
#include "db/Formats.h"
#include "db/Sql.h"
#include "mail/MailTransport.h"
#include "scheduling/AttendanceStore.h"

#include <QSqlQuery>
#include <QSqlRecord>

namespace BookingNotice {

MailMessage compose(Connection &c, int idAtendimento, const MailSettings &s)
{
    // The first procedure in key order names the surgery; none yet: "A definir.".
    QSqlQuery q = Sql::exec(
        c,
        QStringLiteral(
            "select tp.Nome as procedimento, "
            "st.Nome as status_atendimento, ani.Sexo, ani.Nome as animal, esp.Nome as nome_especie, "
            "prop.Nome as nome_proprietario, unid.Descricao as end_local_atendimento, aten.Data_Hora_Atendimento "
            "from atendimento aten "
            "left join animal ani on (aten.Id_Animal = ani.Id_Animal) "
            "left join especie esp on (ani.Id_Especie = esp.Id_Especie) "
            "left join proprietario prop on (aten.Id_Proprietario = prop.Id_Proprietario) "
            "left join unidade_trabalho unid on (aten.Id_Unidade_Agendada = unid.Id_Unidade_Trabalho) "
            "left join atendimento_status st on (aten.Id_Atendimento_Status = st.Id_Atendimento_Status) "
            "left join procedimento pr on (aten.Id_Atendimento = pr.Id_Atendimento) "
            "left join tipo_procedimento tp on (pr.Id_Tipo_Procedimento = tp.Id_Tipo_Procedimento) "
            "where aten.Id_Atendimento = :id order by pr.Id_Procedimento"),
        {{QStringLiteral("id"), idAtendimento}});
    // Only the first row counts; the rest is let go before the next
    // statement, as a T-SQL connection carries one unread result at a time.
    const bool found = q.next();
    const QSqlRecord row = found ? q.record() : QSqlRecord();
    q.finish();
    auto text = [&](int i) { return found ? Sql::text(row.value(i)) : QString(); };
    const QString procedimento = text(0);
    const QString status = text(1);
    const QDateTime when = found ? row.value(7).toDateTime() : QDateTime();

    const QString guidance = guidanceText(Sql::text(
        Sql::scalar(c, QStringLiteral("select Texto_padrao_orientacao from Orientacao_Padrao_Atend order by Id_Orientacao_Padrao_Atend"))));

    MailMessage m;
    m.fromName = status == QLatin1String("AGENDADO")
                     ? QStringLiteral("Procedimento cirurgico agendado para seu animal.")
                     : QStringLiteral("Alteração no procedimento cirurgico agendado para seu animal.");
    m.fromAddress = s.mailbox;
    m.toAddress = s.mailbox;
    m.subject = QStringLiteral("Centro de Controle de Zoonoses - CCZ / Prefeitura Municipal de Vessaro");
    m.bodyLines = {QStringLiteral("==> Óla ") + text(5),
                   QStringLiteral("Um procedimento foi agendado para seu animal, veja os dados abaixo e a instrução que deve ser seguida."),
                   QStringLiteral("Nome do animal: ") + text(3),
                   QStringLiteral("Status do atendimento: ") + status,
                   procedimento.isEmpty() ? QStringLiteral("Procedimento: A definir.") : QStringLiteral("Procedimento: ") + procedimento,
                   QStringLiteral("Espécie do animal: ") + text(4),
                   QStringLiteral("Data/hora : ") + (when.isValid() ? Formats::dateTime(when) : QString()),
                   QStringLiteral("Local: ") + text(6),
                   QString(),
                   guidance};
    m.attachments.append({QStringLiteral("brasao.jpg"), Mail::attachmentImage(s), "image/jpeg"});
    return m;
}

} // namespace BookingNotice
