#include "utilities/ExportaTabelaAgendamentoScreen.h"
#include "db/Formats.h"
#include "db/DataModule.h"
#include "db/DbError.h"
#include "db/Sql.h"
#include "ui/Buttons.h"
#include "ui/IdNameCombo.h"
#include "ui/Services.h"
#include "utilities/DbaseExport.h"

#include "ui/DateEdit.h"
#include <QDateTime>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include <iterator>

namespace {

const QString kFailed = QStringLiteral("Erro ao exportar dados, entre em contato com o a QUORIS.");

const char *kFrom =
    " from atendimento a"
    " left join unidade_trabalho b on (a.Id_Unidade_Agendada = b.Id_Unidade_Trabalho)"
    " left join unidade_trabalho c on (a.Id_Unidade_Trabalho = c.Id_Unidade_Trabalho)"
    " left join animal d on (a.Id_Animal = d.Id_Animal)"
    " left join atendimento_status e on (a.Id_Atendimento_Status = e.Id_Atendimento_Status)"
    " left join usuario f on (a.Inserido_Por = f.Id_Usuario)"
    " left join usuario g on (a.Modificado_Por = g.Id_Usuario)"
    " left join pelo h on (d.Id_Pelo = h.Id_pelo)"
    " left join especie i on (d.Id_Especie = i.Id_Especie)"
    " left join raca j on (d.Id_Raca = j.Id_Raca)"
    " left join porte l on (d.Id_Porte = l.Id_porte)";

DateEdit *dateEdit(const char *name, const QDate &start, QWidget *parent)
{
    auto *e = new DateEdit(start, parent);
    e->setObjectName(QString::fromLatin1(name));
    e->setCalendarPopup(true);
    e->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    return e;
}

} // namespace

QList<ExportaTabelaAgendamentoScreen::Column> ExportaTabelaAgendamentoScreen::columns()
{
    struct Raw {
        const char *name, *expression, *table, *column;
    };
    static const Raw raw[] = {
        {"Id_Atendimento", "a.Id_Atendimento", "atendimento", "Id_Atendimento"},
        {"Id_Proprietario", "a.Id_Proprietario", "atendimento", "Id_Proprietario"},
        {"Id_Animal", "a.Id_Animal", "atendimento", "Id_Animal"},
        {"NomeAnimal", "d.Nome", "animal", "Nome"},
        {"Id_Unidade_Trabalho", "a.Id_Unidade_Trabalho", "atendimento", "Id_Unidade_Trabalho"},
        {"NomeUnidadeTrabalho", "c.Nome", "unidade_trabalho", "Nome"},
        {"Id_Unidade_Agendada", "a.Id_Unidade_Agendada", "atendimento", "Id_Unidade_Agendada"},
        {"NomeUnidadeAgendada", "b.Nome", "unidade_trabalho", "Nome"},
        {"Data_Hora_Atendimento", "a.Data_Hora_Atendimento", "atendimento", "Data_Hora_Atendimento"},
        {"Id_Atendimento_Status", "a.Id_Atendimento_Status", "atendimento", "Id_Atendimento_Status"},
        {"NomeAtendimentoStatus", "e.Nome", "atendimento_status", "Nome"},
        {"Inserido_Por", "a.Inserido_Por", "atendimento", "Inserido_Por"},
        {"NomeInseridoPor", "f.Nome", "usuario", "Nome"},
        {"Inserido_Em", "a.Inserido_Em", "atendimento", "Inserido_Em"},
        {"Modificado_Por", "a.Modificado_Por", "atendimento", "Modificado_Por"},
        {"NomeModificadoPor", "g.Nome", "usuario", "Nome"},
        {"Modificado_Em", "a.Modificado_Em", "atendimento", "Modificado_Em"},
        {"Ind_Autoriza_Cirurgia", "a.Ind_Autoriza_Cirurgia", "atendimento", "Ind_Autoriza_Cirurgia"},
        {"sexo", "d.Sexo", "animal", "Sexo"},
        {"id_pelo", "d.Id_Pelo", "animal", "Id_Pelo"},
        {"nomePelo", "h.Descricao", "pelo", "Descricao"},
        {"id_especie", "d.Id_Especie", "animal", "Id_Especie"},
        {"nomeEspecie", "i.Nome", "especie", "Nome"},
        {"id_raca", "d.Id_Raca", "animal", "Id_Raca"},
        {"nomeRaca", "j.Nome", "raca", "Nome"},
        {"esterilizado", "d.Esterilizado", "animal", "Esterilizado"},
        {"id_porte", "d.Id_Porte", "animal", "Id_Porte"},
        {"nomePorte", "l.Descricao", "porte", "Descricao"},
        {"cor", "d.Cor", "animal", "Cor"},
        {"sinais", "d.Sinais", "animal", "Sinais"},
    };
    QStringList names;
    for (const Raw &r : raw)
        names << QString::fromLatin1(r.name);
    names << QStringLiteral("AnoAtentidemto") << QStringLiteral("MesAtentidemto");
    const QStringList fieldNames = dbaseFieldNames(names);
    QList<Column> out;
    for (int i = 0; i < int(std::size(raw)); ++i)
        out << Column{names.at(i), QString::fromLatin1(raw[i].expression),
                      DbaseField::forColumn(fieldNames.at(i), QString::fromLatin1(raw[i].table),
                                            QString::fromLatin1(raw[i].column))};
    // Computed here rather than by the server: every engine spells year and
    // month differently.
    out << Column{names.at(30), QString(), DbaseField::number(fieldNames.at(30), 4)};
    out << Column{names.at(31), QString(), DbaseField::number(fieldNames.at(31), 2)};
    return out;
}

ExportaTabelaAgendamentoScreen::Statement ExportaTabelaAgendamentoScreen::statement(const QDate &first, const QDate &last,
                                                                                   const QVariant &unit)
{
    QStringList select;
    for (const Column &c : columns())
        if (!c.expression.isEmpty())
            select << c.expression;
    // The whole last day, to its last second: the end is the next midnight,
    // excluded.
    QString where = QStringLiteral(" where a.Data_Hora_Atendimento >= :dataInicia and a.Data_Hora_Atendimento < :dataFim");
    Statement s;
    s.params.insert(QStringLiteral("dataInicia"), first);
    s.params.insert(QStringLiteral("dataFim"), Formats::dayAfter(last));
    if (unit.isValid() && !unit.isNull()) {
        // The unit that performs the appointment, whichever booked it.
        where += QStringLiteral(" and a.Id_Unidade_Agendada = :unidade");
        s.params.insert(QStringLiteral("unidade"), unit);
    }
    s.select = QStringLiteral("select ") + select.join(QStringLiteral(", ")) + QString::fromLatin1(kFrom) + where
               + QStringLiteral(" order by a.Id_Atendimento");
    s.count = QStringLiteral("select count(*) from atendimento a") + where;
    return s;
}

void ExportaTabelaAgendamentoScreen::completeRow(QList<QVariant> &row)
{
    const QVariant v = row.value(8);
    QDateTime t = v.typeId() == QMetaType::QDate ? QDateTime(v.toDate(), QTime(0, 0)) : v.toDateTime();
    if (v.isNull() || !t.isValid()) {
        row << QVariant() << QVariant();
        return;
    }
    row << t.date().year() << t.date().month();
}

ExportaTabelaAgendamentoScreen::ExportaTabelaAgendamentoScreen(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("frmExportaTabelaAgendamento"));
    setWindowTitle(QStringLiteral("Exporta Agendamento"));
    auto *v = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    m_unit = new IdNameCombo(this);
    m_unit->setObjectName(QStringLiteral("dblUnidade"));
    // This month's appointments, the export most often asked for.
    const QDate today = QDate::currentDate();
    const QDate first(today.year(), today.month(), 1);
    m_first = dateEdit("dtpInicio", first, this);
    m_last = dateEdit("dtpFim", first.addMonths(1).addDays(-1), this);
    auto addRow = [&](const QString &caption, QWidget *w) {
        auto *l = new QLabel(caption, this);
        l->setBuddy(w);
        form->addRow(l, w);
    };
    addRow(QStringLiteral("Unidade:"), m_unit);
    addRow(QStringLiteral("Inico:"), m_first);
    addRow(QStringLiteral("Fim:"), m_last);
    v->addLayout(form);
    auto *buttons = new ButtonRow(this);
    buttons->stretch();
    buttons->add(QStringLiteral("Exportar..."), QStringLiteral("btnExportar"), this, &ExportaTabelaAgendamentoScreen::exportar);
    buttons->add(QStringLiteral("&Cancelar"), QStringLiteral("btnCancelar"), this, &QWidget::close);
    v->addLayout(buttons);
    resize(420, 160);
}

void ExportaTabelaAgendamentoScreen::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_filled || event->spontaneous())
        return;
    m_filled = true;
    IdNameCombo::Options opt;
    opt.emptyFirst = true;
    opt.text = [](const QVariant &, const QString &name) { return name; };
    try {
        // Every unit, inactive ones too: their past appointments are exported.
        m_unit->fill(mainConnection(),
                     QStringLiteral("select Id_Unidade_Trabalho, Nome, Ind_Status from unidade_trabalho order by Id_Unidade_Trabalho"),
                     {}, opt);
        m_unit->setCurrentIndex(0);
    } catch (const DbError &e) {
        Services::messages().error(e.text(), this);
    }
}

void ExportaTabelaAgendamentoScreen::exportar()
{
    if (!DateEdit::checkAll(this))
        return;
    const Statement s = statement(m_first->date(), m_last->date(), m_unit->currentId());
    Connection &c = mainConnection();
    try {
        // Tried before the file is asked for: a statement that fails leaves
        // nothing behind, and a period without appointments is said so
        // rather than exported as an empty table reported as done.
        if (Sql::scalar(c, s.count, s.params).toLongLong() == 0) {
            Services::messages().information(QStringLiteral("Nenhum agendamento encontrado no período informado."), this);
            return;
        }
    } catch (const DbError &e) {
        Services::messages().error(e.text(), this);
        return;
    }
    const QString chosen = Services::fileDialogs().saveFileName(windowTitle(), QString(), QString(), this);
    if (chosen.trimmed().isEmpty() || !DbaseExport::mayReplace(chosen, true, this))
        return;
    DbaseExport::Job job;
    QStringList map;
    for (const Column &col : columns()) {
        job.fields << col.field;
        map << col.name;
    }
    job.select = s.select;
    job.count = s.count;
    job.params = s.params;
    job.complete = &ExportaTabelaAgendamentoScreen::completeRow;
    job.tablePath = DbaseExport::tablePath(chosen);
    job.title = windowTitle();
    job.parent = this;
    const DbaseExport::Outcome out = DbaseExport::run(c, job);
    if (out.kind == DbaseExport::Outcome::Kind::Cancelled)
        return;
    if (!out.done()) {
        Services::messages().error(kFailed + QStringLiteral("\r\r") + out.reason, this);
        return;
    }
    // Several column names share their first ten characters: the file says
    // which column each field stands for.
    QString reason;
    if (!DbaseExport::writeText(DbaseExport::dictionaryPath(chosen), DbaseExport::nameMap(job.fields, map), &reason)) {
        Services::messages().error(kFailed + QStringLiteral("\r\r") + reason, this);
        return;
    }
    Services::messages().information(DbaseExport::closingMessage(out), this);
}
