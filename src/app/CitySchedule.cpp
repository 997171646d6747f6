#include "app/CityParts.h"
#include "db/BulkInsert.h"
#include "db/DataModule.h"

namespace CityGenerator::parts {

namespace {
const QStringList kAudit{QStringLiteral("Inserido_Por"), QStringLiteral("Inserido_Em")};
const QStringList kAuditLower{QStringLiteral("Inserido_por"), QStringLiteral("Inserido_em")};
} // namespace

Schedule planSchedule(Connection &c, Random &r, const QList<int> &operatingUnits, const Options &o, Result &result)
{
    Schedule s;
    s.first = o.today.addYears(-6);
    s.last = o.today.addDays(60);

    // Professionals: a few per operating unit, Monday to Friday.
    int kProfissional = maxKey(c, QStringLiteral("profissional"), QStringLiteral("Id_Profissional"));
    int kJornada = maxKey(c, QStringLiteral("jornada_trabalho"), QStringLiteral("Id_Jornada_Trabalho"));
    BulkInsert prof(c, QStringLiteral("profissional"),
                    QStringList{"Id_Profissional", "Id_Unidade_Trabalho", "Nome", "Telefone_celular", "Email", "Inativo",
                                "Bloqueado", "Ind_Status"} + kAudit);
    BulkInsert jornada(c, QStringLiteral("jornada_trabalho"),
                       QStringList{"Id_Jornada_Trabalho", "Id_Profissional", "Id_Unidade_Trabalho", "Data_Hora_Inicial",
                                   "Data_Hora_Final", "Id_Dia_Semana", "Status_Registro", "Controle"} + kAudit);
    for (const int unit : operatingUnits) {
        for (int v = 0; v < 3; ++v) {
            const bool female = r.chance(55);
            const QStringList &given = female ? femaleNames() : maleNames();
            const QString nome = given.at(r.below(int(given.size()))) + QLatin1Char(' ') + surnames().at(r.below(int(surnames().size())));
            const int id = ++kProfissional;
            prof.add({id, unit, nome, QStringLiteral("(19)9%1-%2").arg(digits(r, 4), digits(r, 4)),
                      mailPart(nome) + QStringLiteral("@prefeitura.gov.br"), QStringLiteral("NAO"), QStringLiteral("NAO"),
                      QStringLiteral("ATIVO"), 1, stamp(s.first, 8 * 60)});
            s.unitVets[unit] << id;
            // The hours reach past the drafted month, so that publishing the
            // draft finds the professionals at work.
            for (int dow = 2; dow <= 6; ++dow)
                jornada.add({++kJornada, id, unit, stamp(s.first, 8 * 60), stamp(s.last.addMonths(3), 17 * 60), dow,
                             QStringLiteral("ATIVO"), 1, 1, stamp(s.first, 8 * 60)});
        }
    }
    prof.finish();
    jornada.finish();
    result.perTable.insert(QStringLiteral("profissional"), prof.rows());
    result.perTable.insert(QStringLiteral("jornada_trabalho"), jornada.rows());

    // Surgery slots: each operating unit, every weekday, morning and
    // afternoon; dogs (general and large females) and cats.
    const int dogPlaces = 6 + o.owners / 100000;
    for (QDate d = s.first; d <= s.last; d = d.addDays(1)) {
        if (d.dayOfWeek() > 5)
            continue;
        s.firstSlotOfDay.insert(d, int(s.slotRows.size()));
        for (const int unit : operatingUnits)
            for (int minutes : {8 * 60, 13 * 60}) {
                s.slotRows.push_back({unit, d, minutes, 1, false, dogPlaces});
                s.slotRows.push_back({unit, d, minutes, 1, true, 2});
                s.slotRows.push_back({unit, d, minutes, 2, false, 5});
            }
    }
    s.slotsPerDay = int(operatingUnits.size()) * 2 * 3;
    return s;
}

void writeSlots(Connection &c, const Schedule &s, Result &result)
{
    int kMapa = maxKey(c, QStringLiteral("mapa_disponibilidade_agenda"), QStringLiteral("Id_Mapa_disponibilidade_agenda"));
    BulkInsert mapa(c, QStringLiteral("mapa_disponibilidade_agenda"),
                    {QStringLiteral("Id_Mapa_disponibilidade_agenda"), QStringLiteral("Id_unidade_trabalho"),
                     QStringLiteral("Id_tipo_procedimento"), QStringLiteral("Data_hora_disponibilidade"),
                     QStringLiteral("Qt_vaga_disponivel_geral"), QStringLiteral("Qt_vaga_disp_f_grande_porte"),
                     QStringLiteral("Qt_vaga_usada_geral"), QStringLiteral("Qt_vaga_usada_f_grande_porte"),
                     QStringLiteral("Id_Especie"), QStringLiteral("COD_AREA_ABRN"), QStringLiteral("Inserido_por"),
                     QStringLiteral("Inserido_em")});
    for (const SlotRow &r : s.slotRows)
        mapa.add({++kMapa, r.unit, 12, stamp(r.day, r.minutes), r.largeFemale ? 0 : r.capacity, r.largeFemale ? r.capacity : 0,
                  r.largeFemale ? 0 : r.used, r.largeFemale ? r.used : 0, r.especie, nullInt(), 1, stamp(r.day.addDays(-30), 9 * 60)});
    mapa.finish();
    result.perTable.insert(QStringLiteral("mapa_disponibilidade_agenda"), mapa.rows());
}

void writeDraftsAndGrants(Connection &c, Random &r, const Schedule &s, const QList<int> &operatingUnits,
                          const QList<int> &owners, const QList<int> &clerks, Result &result)
{
    // The month after the published period, drafted and not yet published,
    // as the map screens leave it before cloning or publishing.
    int kRascunho = maxKey(c, QStringLiteral("mapa_rascunho"), QStringLiteral("Id_Mapa_rascunho"));
    BulkInsert draft(c, QStringLiteral("mapa_rascunho"),
                     QStringList{"Id_Mapa_rascunho", "Id_unidade_trabalho", "Id_tipo_procedimento", "Data_hora_disponibilidade",
                                 "Qt_vaga_disponivel_geral", "Qt_vaga_disp_f_grande_porte", "Id_Especie", "Status_Registro",
                                 "Qt_vaga_usada_geral", "Qt_vaga_usada_f_grande_porte"} + kAuditLower);
    const QDate month(s.last.addMonths(1).year(), s.last.addMonths(1).month(), 1);
    const QVariant drafted = stamp(s.last.addDays(-20), 10 * 60);
    for (QDate d = month; d.month() == month.month(); d = d.addDays(1)) {
        if (d.dayOfWeek() > 5)
            continue;
        for (const int unit : operatingUnits)
            for (int minutes : {8 * 60, 13 * 60}) {
                draft.add({++kRascunho, unit, 12, stamp(d, minutes), 6, 0, 1, QStringLiteral("ATIVO"), 0, 0, 1, drafted});
                draft.add({++kRascunho, unit, 12, stamp(d, minutes), 0, 2, 1, QStringLiteral("ATIVO"), 0, 0, 1, drafted});
                draft.add({++kRascunho, unit, 12, stamp(d, minutes), 5, 0, 2, QStringLiteral("ATIVO"), 0, 0, 1, drafted});
            }
    }
    draft.finish();
    result.perTable.insert(QStringLiteral("mapa_rascunho"), draft.rows());

    // Extra places granted to about one owner in a hundred (protectors with
    // many animals); some grants were withdrawn later.
    int kGrant = maxKey(c, QStringLiteral("agendamento_especial"), QStringLiteral("Id_Agendamento_Especial"));
    BulkInsert grant(c, QStringLiteral("agendamento_especial"),
                     {QStringLiteral("Id_Agendamento_Especial"), QStringLiteral("Id_Proprietario"),
                      QStringLiteral("Qt_Agendamento_Reservado"), QStringLiteral("Ind_Registro_Excluido"),
                      QStringLiteral("Inserido_Por"), QStringLiteral("Inserido_Em"), QStringLiteral("Excluido_por"),
                      QStringLiteral("Excluido_em")});
    const int grants = qMax(3, int(owners.size() / 100));
    for (int i = 0; i < grants && !owners.isEmpty(); ++i) {
        const int owner = owners.at(r.below(int(owners.size())));
        const int clerk = clerks.at(r.below(int(clerks.size())));
        const QDate on = s.last.addDays(-60 - r.below(700));
        const bool withdrawn = r.chance(15);
        grant.add({++kGrant, owner, 1 + r.below(5), withdrawn ? QStringLiteral("TRUE") : QStringLiteral("FALSE"), clerk,
                   stamp(on, 9 * 60 + r.below(480)), withdrawn ? QVariant(clerk) : nullInt(),
                   withdrawn ? stamp(on.addDays(30), 10 * 60) : nullText()});
    }
    grant.finish();
    result.perTable.insert(QStringLiteral("agendamento_especial"), grant.rows());
}

} // namespace CityGenerator::parts
