#include "app/CityParts.h"
#include "db/DataModule.h"
#include "db/Sql.h"

#include <QSqlQuery>

namespace CityGenerator::parts {

void ensureReferenceRows(Connection &c, int units)
{
    const QVariant now = stamp(QDate(2015, 1, 1), 8 * 60);
    if (Sql::scalar(c, QStringLiteral("select count(*) from pelo")).toInt() == 0) {
        const QStringList d = list({"CURTO", "MÉDIO", "LONGO"});
        for (int i = 0; i < d.size(); ++i)
            Sql::exec(c, QStringLiteral("insert into pelo (Id_pelo, Descricao, Ind_Status, Inserido_Por, Inserido_Em) values (:i, :d, 'ATIVO', 1, :e)"),
                      {{QStringLiteral("i"), i + 1}, {QStringLiteral("d"), d.at(i)}, {QStringLiteral("e"), now}});
    }
    if (Sql::scalar(c, QStringLiteral("select count(*) from porte")).toInt() == 0) {
        const QStringList d = list({"PEQUENO", "MÉDIO", "GRANDE"});
        for (int i = 0; i < d.size(); ++i)
            Sql::exec(c, QStringLiteral("insert into porte (Id_porte, Descricao, Ind_Status, Inserido_por, Inserido_Em) values (:i, :d, 'ATIVO', 1, :e)"),
                      {{QStringLiteral("i"), i + 1}, {QStringLiteral("d"), d.at(i)}, {QStringLiteral("e"), now}});
    }
    if (Sql::scalar(c, QStringLiteral("select count(*) from raca")).toInt() == 0) {
        int id = 0;
        for (const Breed &b : breeds())
            Sql::exec(c, QStringLiteral("insert into raca (Id_Raca, Nome, Descricao, Id_Porte, Id_Pelo, Id_Especie, Ind_Status, Inserido_Por, Inserido_Em) "
                                        "values (:i, :n, :n, :po, :pe, :es, 'ATIVO', 1, :e)"),
                      {{QStringLiteral("i"), ++id}, {QStringLiteral("n"), u(b.name)}, {QStringLiteral("po"), b.porte},
                       {QStringLiteral("pe"), b.pelo}, {QStringLiteral("es"), b.especie}, {QStringLiteral("e"), now}});
    }
    if (Sql::scalar(c, QStringLiteral("select count(*) from grupo_animal")).toInt() == 0) {
        const QStringList d = list({"DOMICILIADO", "COMUNITÁRIO", "ABRIGO / ONG"});
        for (int i = 0; i < d.size(); ++i)
            Sql::exec(c, QStringLiteral("insert into grupo_animal (Id_Grupo_Animal, Nome, Descricao, Ind_Status, Inserido_Por, Inserido_Em) "
                                        "values (:i, :d, :d, 'ATIVO', 1, :e)"),
                      {{QStringLiteral("i"), i + 1}, {QStringLiteral("d"), d.at(i)}, {QStringLiteral("e"), now}});
    }
    if (Sql::scalar(c, QStringLiteral("select count(*) from tipo_vacina")).toInt() <= 1) {
        const QStringList d = list({"ANTIRRÁBICA", "V8 (ÓCTUPLA CANINA)", "V10 (DÉCTUPLA CANINA)", "TRÍPLICE FELINA", "QUÁDRUPLA FELINA"});
        const int base = maxKey(c, QStringLiteral("tipo_vacina"), QStringLiteral("Id_tipo_vacina"));
        for (int i = 0; i < d.size(); ++i)
            Sql::exec(c, QStringLiteral("insert into tipo_vacina (Id_tipo_vacina, Nome, Descricao, Ind_registro_ativo, Inserido_por, Inserido_em) "
                                        "values (:i, :d, :d, 'ATIVO', 1, :e)"),
                      {{QStringLiteral("i"), base + i + 1}, {QStringLiteral("d"), d.at(i)}, {QStringLiteral("e"), now}});
    }
    // Work units by name: the demo's user joins the first one.
    for (int i = 0; i < units && i < int(unitNames().size()); ++i) {
        const QString name = u(unitNames()[i]);
        if (!Sql::scalar(c, QStringLiteral("select Id_Unidade_Trabalho from unidade_trabalho where upper(Nome) = :n"),
                         {{QStringLiteral("n"), name}}).isNull())
            continue;
        const int id = maxKey(c, QStringLiteral("unidade_trabalho"), QStringLiteral("Id_Unidade_Trabalho")) + 1;
        Sql::exec(c, QStringLiteral("insert into unidade_trabalho (Id_Unidade_Trabalho, Nome, Descricao, Ind_Status, Inserido_Por, Inserido_Em) "
                                    "values (:i, :n, :d, 'ATIVO', 1, :e)"),
                  {{QStringLiteral("i"), id}, {QStringLiteral("n"), name},
                   {QStringLiteral("d"), i == 0 ? u("Sede do serviço") : u("Unidade que realiza esterilizações")}, {QStringLiteral("e"), now}});
    }
}

namespace {

bool isEmpty(Connection &c, const QString &table)
{
    return Sql::scalar(c, QStringLiteral("select count(*) from %1").arg(table)).toInt() == 0;
}

struct Named {
    const char *nome;
    const char *descricao;
};

} // namespace

void seedSmallTables(Connection &c, const QDate &since)
{
    const QVariant em = stamp(since, 8 * 60);
    if (isEmpty(c, QStringLiteral("unidade_medida"))) {
        const Named rows[] = {{"MG", "Miligrama"}, {"ML", "Mililitro"}, {"G", "Grama"},
                              {"COMPRIMIDO", "Comprimido"}, {"AMPOLA", "Ampola"}, {"UNIDADE", "Unidade"}};
        int id = 0;
        for (const Named &n : rows)
            Sql::exec(c, QStringLiteral("insert into unidade_medida (Id_Unidade_Medida, Nome, Descricao, Ind_Status, Inserido_Por, "
                                        "Inserido_Em) values (:i, :n, :d, 'ATIVO', 1, :e)"),
                      {{QStringLiteral("i"), ++id}, {QStringLiteral("n"), u(n.nome)}, {QStringLiteral("d"), u(n.descricao)},
                       {QStringLiteral("e"), em}});
    }
    if (isEmpty(c, QStringLiteral("medicamento"))) {
        // By unit of measure name, so that a service's own units still fit.
        struct Medicine {
            const char *nome, *unidade, *descricao;
        };
        const Medicine rows[] = {
            {"CETAMINA 10%", "ML", "Anestésico dissociativo."},
            {"XILAZINA 2%", "ML", "Sedativo e relaxante muscular."},
            {"PROPOFOL 1%", "ML", "Anestésico de indução."},
            {"TRAMADOL 50 MG", "COMPRIMIDO", "Analgésico para o pós-operatório."},
            {"MELOXICAM 0,2%", "ML", "Anti-inflamatório."},
            {"CEFALEXINA 500 MG", "COMPRIMIDO", "Antibiótico."},
            {"DIPIRONA 50%", "ML", "Analgésico e antitérmico."},
            {"FIO DE SUTURA NYLON 3-0", "UNIDADE", "Fio para a pele."},
            {"IVERMECTINA 1%", "ML", "Antiparasitário."},
        };
        int id = 0;
        for (const Medicine &m : rows) {
            const QVariant unidade = Sql::scalar(c, QStringLiteral("select min(Id_Unidade_Medida) from unidade_medida where Nome = :n"),
                                                 {{QStringLiteral("n"), u(m.unidade)}});
            Sql::exec(c, QStringLiteral("insert into medicamento (Id_Medicamento, Id_Unidade_Medida, Nome, Descricao, Ind_Status, "
                                        "Inserido_Por, Inserido_Em) values (:i, :un, :n, :d, 'ATIVO', 1, :e)"),
                      {{QStringLiteral("i"), ++id}, {QStringLiteral("un"), unidade.isNull() ? nullInt() : unidade},
                       {QStringLiteral("n"), u(m.nome)}, {QStringLiteral("d"), u(m.descricao)}, {QStringLiteral("e"), em}});
        }
    }
    // The sterilization (12) comes with the schema; the other procedures
    // are what the private attendances and the clinical tabs record.
    if (Sql::scalar(c, QStringLiteral("select count(*) from tipo_procedimento")).toInt() <= 1) {
        const Named rows[] = {{"CONSULTA", "Consulta clínica."},
                              {"VACINAÇÃO", "Aplicação de vacina."},
                              {"IMPLANTE DE MICROCHIP", "Identificação eletrônica do animal."},
                              {"CURATIVO", "Troca de curativo e revisão de pontos."},
                              {"RETIRADA DE PONTOS", "Retirada dos pontos da cirurgia."}};
        int id = maxKey(c, QStringLiteral("tipo_procedimento"), QStringLiteral("Id_Tipo_Procedimento"));
        for (const Named &n : rows)
            Sql::exec(c, QStringLiteral("insert into tipo_procedimento (Id_Tipo_Procedimento, Nome, Descricao, Ind_Status, "
                                        "Inserido_Por, Inserido_Em) values (:i, :n, :d, 'ATIVO', 1, :e)"),
                      {{QStringLiteral("i"), ++id}, {QStringLiteral("n"), u(n.nome)}, {QStringLiteral("d"), u(n.descricao)},
                       {QStringLiteral("e"), em}});
    }
    if (isEmpty(c, QStringLiteral("tipo_ocorrencia"))) {
        struct Occurrence {
            const char *nome, *descricao, *finaliza;
        };
        const Occurrence rows[] = {{"ÓBITO", "Morte do animal.", "SIM"},
                                   {"DESAPARECIMENTO", "O animal fugiu ou se perdeu.", "NAO"},
                                   {"MORDEDURA", "O animal mordeu uma pessoa ou outro animal.", "NAO"},
                                   {"MAUS-TRATOS", "Denúncia de maus-tratos.", "NAO"},
                                   {"RECOLHIMENTO", "Animal recolhido pelo serviço.", "NAO"},
                                   {"DOAÇÃO", "O animal foi doado.", "SIM"}};
        int id = 0;
        for (const Occurrence &n : rows)
            Sql::exec(c, QStringLiteral("insert into tipo_ocorrencia (Id_Tipo_Ocorrencia, Nome, Descricao, Ind_Status, "
                                        "Ind_Finaliza_Caso, Inserido_Por, Inserido_Em) values (:i, :n, :d, 'ATIVO', :f, 1, :e)"),
                      {{QStringLiteral("i"), ++id}, {QStringLiteral("n"), u(n.nome)}, {QStringLiteral("d"), u(n.descricao)},
                       {QStringLiteral("f"), QString::fromLatin1(n.finaliza)}, {QStringLiteral("e"), em}});
    }
    // The prescription text the clinical tab proposes for an animal's weight.
    if (isEmpty(c, QStringLiteral("receituario_texto_peso"))) {
        struct ByWeight {
            double peso;
            const char *texto;
        };
        const ByWeight rows[] = {
            {5, "Tramadol 50 mg: 1/4 de comprimido a cada 12 horas por 3 dias. Meloxicam 0,2%: 0,5 ml uma vez ao dia por 3 dias."},
            {10, "Tramadol 50 mg: 1/2 comprimido a cada 12 horas por 3 dias. Meloxicam 0,2%: 1 ml uma vez ao dia por 3 dias."},
            {20, "Tramadol 50 mg: 1 comprimido a cada 12 horas por 3 dias. Meloxicam 0,2%: 2 ml uma vez ao dia por 3 dias."},
            {40, "Tramadol 50 mg: 2 comprimidos a cada 12 horas por 3 dias. Meloxicam 0,2%: 4 ml uma vez ao dia por 3 dias."},
        };
        int id = 0;
        for (const ByWeight &w : rows)
            Sql::exec(c, QStringLiteral("insert into receituario_texto_peso (Id_Receituario_texto_Peso, Peso, Texto, Ind_Status, "
                                        "Inserido_Por, Inserido_Em) values (:i, :p, :t, 'ATIVO', 1, :e)"),
                      {{QStringLiteral("i"), ++id}, {QStringLiteral("p"), w.peso}, {QStringLiteral("t"), u(w.texto)},
                       {QStringLiteral("e"), em}});
    }
}

QList<int> activeKeys(Connection &c, const QString &table, const QString &key, const QString &statusColumn)
{
    QList<int> out;
    QSqlQuery q = Sql::exec(c, QStringLiteral("select %1 from %2 where %3 = 'ATIVO' order by %1").arg(key, table, statusColumn));
    while (q.next())
        out << q.value(0).toInt();
    return out;
}

} // namespace CityGenerator::parts
