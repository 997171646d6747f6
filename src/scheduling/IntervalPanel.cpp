#include "scheduling/IntervalPanel.h"
#include "db/Formats.h"
#include "ui/Buttons.h"
#include "ui/IdNameCombo.h"
#include "ui/Services.h"
#include "ui/register/FieldBinder.h"

#include <QCheckBox>
#include "ui/DateEdit.h"
#include "ui/ReadOnlyGrid.h"
#include <QDateTime>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimeEdit>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

const QString kNotEditing = QStringLiteral("Para incluir um intervalo clique em novo ou em alterar!");
const QString kNoWeekday = QStringLiteral("Falta selecionar um dia da semana.");
const QString kNoUnit = QStringLiteral("Falta selecionar a unidade de atendimento.");
const QString kClash = QStringLiteral("Conflito entre horário/data.\rVerifique se o horário/data esta coincidindo. ");
const QString kNoSelection = QStringLiteral("Selecione o registro a ser excluído.");

QLabel *captioned(const QString &caption, QWidget *editor, QWidget *parent)
{
    auto *l = new QLabel(caption, parent);
    l->setBuddy(editor);
    editor->setAccessibleName(FieldBinder::accessibleCaption(caption));
    FieldBinder::installEnterAsTab(editor);
    return l;
}

QString timeText(const QTime &t)
{
    return (t.isValid() ? t : QTime(0, 0)).toString(QStringLiteral("HH:mm:ss"));
}

} // namespace

IntervalPanel::IntervalPanel(IntervalKind kind, QWidget *parent) : QWidget(parent), m_kind(kind)
{
    const bool working = kind == IntervalKind::WorkingHours;
    auto *outer = new QVBoxLayout(this);

    if (!working) {
        m_name = new QLineEdit(this);
        m_name->setObjectName(QStringLiteral("edtNomeProfissional"));
        m_name->setReadOnly(true);
        m_name->setFocusPolicy(Qt::ClickFocus);
        QFont f = m_name->font();
        f.setBold(true);
        m_name->setFont(f);
        QPalette p = m_name->palette();
        p.setBrush(QPalette::Base, p.brush(QPalette::Button));
        m_name->setPalette(p);
        m_name->setAccessibleName(QStringLiteral("Profissional"));
        outer->addWidget(m_name);
    }

    m_group = new QGroupBox(working ? QStringLiteral(" Dias/Hora do atendimento: ") : QString(), this);
    auto *g = new QGridLayout(m_group);
    int row = 0;
    if (working) {
        auto *days = new QHBoxLayout;
        for (const QString &name : WorkIntervals::weekdayNames()) {
            auto *box = new QCheckBox(name, m_group);
            box->setObjectName(QStringLiteral("chk") + name);
            FieldBinder::installEnterAsTab(box);
            days->addWidget(box);
            m_days << box;
        }
        days->addStretch(1);
        g->addLayout(days, row++, 0, 1, 4);
    }
    m_unit = new IdNameCombo(m_group);
    m_unit->setObjectName(QStringLiteral("dblUnidade"));
    g->addWidget(captioned(QStringLiteral("Unidade de atendimento:"), m_unit, m_group), row, 0);
    g->addWidget(m_unit, row++, 1, 1, 3, Qt::AlignLeft);

    auto dateEdit = [this](const char *name) {
        auto *e = new DateEdit(m_group);
        e->setObjectName(QLatin1String(name));
        e->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
        e->setCalendarPopup(true);
        return e;
    };
    auto timeEdit = [this](const char *name) {
        auto *e = new QTimeEdit(m_group);
        e->setObjectName(QLatin1String(name));
        e->setDisplayFormat(QStringLiteral("HH:mm:ss"));
        return e;
    };
    m_firstDay = dateEdit("dtpDataInicial");
    m_lastDay = dateEdit("dtpDataFinal");
    m_start = timeEdit("dtpHoraInicial");
    m_end = timeEdit("dtpHoraFinal");
    // The working hours read day, hour, day, hour; the other lists both days first.
    const QList<QPair<QString, QWidget *>> fields =
        working ? QList<QPair<QString, QWidget *>>{{QStringLiteral("Data inicial:"), m_firstDay},
                                                   {QStringLiteral("Hora inicial:"), m_start},
                                                   {QStringLiteral("Data final:"), m_lastDay},
                                                   {QStringLiteral("Hora final:"), m_end}}
                : QList<QPair<QString, QWidget *>>{{QStringLiteral("Data inicial:"), m_firstDay},
                                                   {QStringLiteral("Data final:"), m_lastDay},
                                                   {QStringLiteral("Hora inicial:"), m_start},
                                                   {QStringLiteral("Hora final:"), m_end}};
    for (int i = 0; i < fields.size(); ++i) {
        g->addWidget(captioned(fields.at(i).first, fields.at(i).second, m_group), row + i / 2, (i % 2) * 2);
        g->addWidget(fields.at(i).second, row + i / 2, (i % 2) * 2 + 1, Qt::AlignLeft);
    }
    row += 2;
    auto *buttons = new ButtonRow(m_group);
    m_include = buttons->add(QStringLiteral("&Incluir"), QStringLiteral("bmpIncluir"));
    m_exclude = buttons->add(QStringLiteral("&Excluir"), QStringLiteral("bmpExcluir"));
    buttons->stretch();
    g->addLayout(buttons, row, 0, 1, 4);
    g->setColumnStretch(3, 1);
    outer->addWidget(m_group);
    connect(m_include, &QPushButton::clicked, this, [this] { include(); });
    connect(m_exclude, &QPushButton::clicked, this, [this] { exclude(); });

    m_list = new QTreeWidget(this);
    m_list->setRootIsDecorated(false);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    if (working) {
        m_list->setObjectName(QStringLiteral("ltvAtendimeto"));
        m_list->setHeaderLabels({QStringLiteral("Cod. unidade"), QStringLiteral("Unidade"), QStringLiteral("Data inicial"),
                                 QStringLiteral("Hora inical"), QStringLiteral("Data final"), QStringLiteral("Hora final"),
                                 QStringLiteral("Dia da semana")});
        m_list->setColumnHidden(0, true);
        m_list->setAccessibleName(QStringLiteral("Horários de trabalho"));
    } else {
        const bool impediment = kind == IntervalKind::Impediment;
        m_list->setObjectName(impediment ? QStringLiteral("ltvImpedimento") : QStringLiteral("ltvHoras_Extra"));
        m_list->setHeaderLabels({QStringLiteral("Cod. Unidade"), QStringLiteral("Unidade"),
                                 impediment ? QStringLiteral("Data inical") : QStringLiteral("Data inicial"),
                                 QStringLiteral("Data final"), QStringLiteral("Hora inicial"), QStringLiteral("Hora final")});
        m_list->setColumnWidth(0, 40);
        m_list->setAccessibleName(impediment ? QStringLiteral("Horários impedido de trabalhar.")
                                             : QStringLiteral("Horários extras de trabalho."));
    }
    m_list->setColumnWidth(1, 220);
    ReadOnlyGrid::fitColumns(m_list);
    outer->addWidget(m_list, 1);
    setEditing(false);
}

void IntervalPanel::fillUnits(Connection &c)
{
    IdNameCombo::Options o;
    o.emptyFirst = true;
    o.text = [](const QVariant &, const QString &name) { return name.toUpper(); };
    m_unit->fill(c,
                 QStringLiteral("select Id_Unidade_Trabalho, nome from unidade_trabalho where ind_status = 'ATIVO' order by nome"),
                 {}, o);
}

void IntervalPanel::setPickers(const QDateTime &t)
{
    m_firstDay->setDate(t.date());
    m_lastDay->setDate(t.date());
    m_start->setTime(t.time());
    m_end->setTime(t.time());
}

void IntervalPanel::setEditing(bool on)
{
    m_group->setEnabled(on);
}

void IntervalPanel::setProfessionalName(const QString &name)
{
    if (m_name)
        m_name->setText(name);
}

void IntervalPanel::setRows(const QList<WorkInterval> &rows)
{
    m_rows = rows;
    showRows();
}

WorkInterval IntervalPanel::typed() const
{
    WorkInterval w;
    w.unitId = m_unit->currentId();
    w.unitName = m_unit->currentText();
    w.firstDay = m_firstDay->date();
    w.lastDay = m_lastDay->date();
    // Whole seconds, as the list shows them and the tables keep them.
    const QTime s = m_start->time(), e = m_end->time();
    w.startTime = QTime(s.hour(), s.minute(), s.second());
    w.endTime = QTime(e.hour(), e.minute(), e.second());
    return w;
}

bool IntervalPanel::include()
{
    Messages &m = Services::messages();
    if (!m_allowed || !m_allowed()) {
        m.information(kNotEditing, this);
        return false;
    }
    if (!DateEdit::checkAll(m_group))
        return false;
    const bool working = m_kind == IntervalKind::WorkingHours;
    QStringList ticked;
    for (QCheckBox *b : m_days)
        if (b->isChecked())
            ticked << b->text();
    if (working && ticked.isEmpty()) {
        m.information(kNoWeekday, this);
        return false;
    }
    const WorkInterval base = typed();
    if (!base.unitId.isValid()) {
        m.information(kNoUnit, this);
        m_unit->setFocus();
        return false;
    }
    QList<WorkInterval> added;
    for (const QString &day : working ? ticked : QStringList{QString()}) {
        WorkInterval w = base;
        w.weekday = day;
        if (WorkIntervals::isInverted(w) || WorkIntervals::firstClash(m_rows, w, working) >= 0) {
            m.information(kClash, this);
            return false;
        }
        added << w;
    }
    m_rows += added;
    showRows();
    return true;
}

bool IntervalPanel::exclude()
{
    Messages &m = Services::messages();
    if (!m_allowed || !m_allowed()) {
        m.information(kNotEditing, this);
        return false;
    }
    QTreeWidgetItem *item = m_list->currentItem();
    if (!item || !item->isSelected()) {
        m.information(kNoSelection, this);
        return false;
    }
    m_rows.removeAt(m_list->indexOfTopLevelItem(item));
    showRows();
    return true;
}

void IntervalPanel::showRows()
{
    m_list->clear();
    for (const WorkInterval &w : m_rows) {
        QStringList cells{w.unitId.isValid() ? w.unitId.toString() : QString(), w.unitName};
        if (m_kind == IntervalKind::WorkingHours)
            cells << Formats::date(w.firstDay) << timeText(w.startTime) << Formats::date(w.lastDay) << timeText(w.endTime)
                  << w.weekday;
        else
            cells << Formats::date(w.firstDay) << Formats::date(w.lastDay) << timeText(w.startTime) << timeText(w.endTime);
        m_list->addTopLevelItem(new QTreeWidgetItem(cells));
    }
}
