#include "scheduling/MapaDisponibilidadeCloneScreen.h"
#include "db/DataModule.h"
#include "db/DbError.h"
#include "db/ServerClock.h"
#include "db/Session.h"
#include "scheduling/Holidays.h"
#include "ui/FormHelpers.h"
#include "ui/IdNameCombo.h"
#include "ui/LongWork.h"
#include "ui/Services.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

int g_offset = 0;
constexpr int DayRole = Qt::UserRole;
constexpr int SelectedRole = Qt::UserRole + 1;

QString hhmm(const QDateTime &t) { return t.time().toString(QStringLiteral("HH:mm")); }

} // namespace

int MapaDisponibilidadeCloneScreen::monthOffset() { return g_offset; }
void MapaDisponibilidadeCloneScreen::setMonthOffset(int offset) { g_offset = offset; }

MapaDisponibilidadeCloneScreen::MapaDisponibilidadeCloneScreen(Connection &c, const Slot &model, QWidget *parent)
    : QDialog(parent), m_c(c), m_store(c), m_model(model)
{
    setObjectName(QStringLiteral("frmMapaDisponibilidadeClone"));
    setWindowTitle(QStringLiteral("Clonagem de agenda"));
    setModal(true);
    auto *v = new QVBoxLayout(this);

    auto *head = new QHBoxLayout;
    auto *prev = new QPushButton(QStringLiteral("<<"), this);
    prev->setObjectName(QStringLiteral("bmpMesAnterior"));
    prev->setAccessibleName(QStringLiteral("Mês anterior"));
    auto *next = new QPushButton(QStringLiteral(">>"), this);
    next->setObjectName(QStringLiteral("bmpMesSeguinte"));
    next->setAccessibleName(QStringLiteral("Mês seguinte"));
    m_month = new QLabel(this);
    m_month->setObjectName(QStringLiteral("lblMes"));
    QFont bold = m_month->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.3);
    m_month->setFont(bold);
    m_month->setAlignment(Qt::AlignCenter);
    head->addWidget(prev);
    head->addWidget(m_month, 1);
    head->addWidget(next);
    v->addLayout(head);

    auto *mid = new QHBoxLayout;
    m_modelText = new QPlainTextEdit(this);
    m_modelText->setObjectName(QStringLiteral("memModelo"));
    m_modelText->setAccessibleName(QStringLiteral("Horário modelo"));
    m_modelText->setReadOnly(true);
    m_modelText->setMaximumHeight(100);
    mid->addWidget(m_modelText, 1);
    auto *unitsBox = new QVBoxLayout;
    m_units = new IdNameCombo(this);
    m_units->setObjectName(QStringLiteral("cbbUnidades"));
    unitsBox->addWidget(FormHelpers::caption(QStringLiteral("Unidades:"), m_units, this));
    unitsBox->addWidget(m_units);
    unitsBox->addStretch();
    mid->addLayout(unitsBox, 1);
    v->addLayout(mid);

    m_days = new QTableWidget(7, 7, this);
    m_days->setObjectName(QStringLiteral("grdDias"));
    m_days->setAccessibleName(QStringLiteral("Dias do mês"));
    m_days->horizontalHeader()->hide();
    m_days->verticalHeader()->hide();
    m_days->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_days->verticalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_days->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_days->setSelectionMode(QAbstractItemView::NoSelection);
    m_days->setWordWrap(true);
    v->addWidget(m_days, 1);

    auto *foot = new QHBoxLayout;
    m_weekdays = new QCheckBox(QStringLiteral("Selecionar de segunda a sexta."), this);
    m_weekdays->setObjectName(QStringLiteral("chkSegundaSexta"));
    auto *gerarButton = new QPushButton(QStringLiteral("Gerar agenda"), this);
    gerarButton->setObjectName(QStringLiteral("bmpGerar"));
    gerarButton->setAccessibleName(QStringLiteral("Gerar agenda"));
    m_includeHolidays = new QCheckBox(QStringLiteral("Incluir feriados"), this);
    m_includeHolidays->setObjectName(QStringLiteral("chkIncluirFeriados"));
    foot->addWidget(m_weekdays);
    foot->addWidget(m_includeHolidays);
    foot->addStretch();
    foot->addWidget(gerarButton);
    v->addLayout(foot);

    connect(prev, &QPushButton::clicked, this, &MapaDisponibilidadeCloneScreen::previousMonth);
    connect(next, &QPushButton::clicked, this, &MapaDisponibilidadeCloneScreen::nextMonth);
    connect(m_days, &QTableWidget::cellClicked, this, &MapaDisponibilidadeCloneScreen::toggleCell);
    connect(m_weekdays, &QCheckBox::clicked, this, &MapaDisponibilidadeCloneScreen::setWeekdays);
    connect(gerarButton, &QPushButton::clicked, this, &MapaDisponibilidadeCloneScreen::gerar);
    resize(760, 560);
    buildMonth();
}

void MapaDisponibilidadeCloneScreen::buildMonth()
{
    m_modelText->setPlainText(QStringLiteral("Especie:") + m_model.especieNome + QLatin1Char('\n') + QStringLiteral("Hora: ")
                              + hhmm(m_model.dataHora) + QLatin1Char('\n') + QStringLiteral("Proced.: ")
                              + m_model.procedimentoNome + QLatin1Char('\n') + QStringLiteral("Vagas geral: ")
                              + QString::number(m_model.vagaGeral) + QLatin1Char('\n')
                              + QStringLiteral("Vagas fem. grand.:") + QString::number(m_model.vagaFemea));
    m_days->clearContents();
    static const char *weekdays[] = {"Domingo", "Segunda-feira", "Terça-feira", "Quarta-feira",
                                     "Quinta-feira", "Sexta-feira", "Sábado"};
    for (int c = 0; c < 7; ++c) {
        auto *item = new QTableWidgetItem(QString::fromUtf8(weekdays[c]));
        item->setFlags(Qt::ItemIsEnabled);
        item->setTextAlignment(Qt::AlignCenter);
        QFont f = item->font();
        f.setBold(true);
        item->setFont(f);
        m_days->setItem(0, c, item);
    }
    try {
        m_units->fill(m_c,
                      QStringLiteral("select Id_Unidade_Trabalho, Nome from unidade_trabalho where Ind_Status = 'ATIVO' "
                                     "and Nome <> :central order by Id_Unidade_Trabalho"),
                      {{QStringLiteral("central"), QStringLiteral("NÍVEL CENTRAL")}}, {true, false, {}});
        m_units->setItemText(0, QStringLiteral("Todas unidades"));
        m_units->setCurrentIndex(0);
        m_unitIds.clear();
        for (int i = 1; i < m_units->count(); ++i)
            m_unitIds << m_units->itemData(i).toInt();
        const QDate today = serverNow(m_c).date();
        m_first = QDate(today.year(), today.month(), 1).addMonths(g_offset);
    } catch (const DbError &e) {
        FormHelpers::showError(e, this);
        return;
    }
    m_month->setText(cloneMonthName(m_first.month()));
    // Sunday is column 0.
    const int startColumn = m_first.dayOfWeek() % 7;
    for (int d = 1; d <= m_first.daysInMonth(); ++d) {
        const int cell = startColumn + d - 1;
        auto *item = new QTableWidgetItem(QString::number(d));
        item->setFlags(Qt::ItemIsEnabled);
        item->setData(DayRole, d);
        item->setData(SelectedRole, false);
        m_days->setItem(1 + cell / 7, cell % 7, item);
    }
    // The month's days off in red, named in the cell's tip.
    try {
        m_off = Holidays::between(m_c, m_first, m_first.addDays(m_first.daysInMonth() - 1));
    } catch (const DbError &e) {
        m_off.clear();
        FormHelpers::showError(e, this);
    }
    for (const Holidays::Day &h : m_off) {
        const int cell = startColumn + h.date.day() - 1;
        if (QTableWidgetItem *item = m_days->item(1 + cell / 7, cell % 7)) {
            item->setForeground(QColor(190, 0, 0));
            item->setToolTip(h.name);
        }
    }
}

void MapaDisponibilidadeCloneScreen::markCell(int row, int column, bool selected, bool weekdayStyle)
{
    QTableWidgetItem *item = m_days->item(row, column);
    if (!item || !item->data(DayRole).isValid())
        return;
    const QString day = QString::number(item->data(DayRole).toInt());
    item->setData(SelectedRole, selected);
    if (!selected)
        item->setText(day);
    else if (weekdayStyle)
        item->setText(day + QStringLiteral(" (") + hhmm(m_model.dataHora) + QLatin1Char(')'));
    else
        item->setText(day + QStringLiteral("  ") + hhmm(m_model.dataHora));
    item->setBackground(selected ? QBrush(QColor(200, 230, 200)) : QBrush());
}

void MapaDisponibilidadeCloneScreen::toggleCell(int row, int column)
{
    if (row < 1)
        return;
    QTableWidgetItem *item = m_days->item(row, column);
    if (!item || !item->data(DayRole).isValid())
        return;
    markCell(row, column, !item->data(SelectedRole).toBool(), false);
}

void MapaDisponibilidadeCloneScreen::setWeekdays(bool on)
{
    m_weekdays->setChecked(on);
    if (!on)
        return; // unchecking leaves the days as they are
    for (int r = 1; r < 7; ++r)
        for (int c = 1; c <= 5; ++c)
            markCell(r, c, true, true);
}

QList<QDate> MapaDisponibilidadeCloneScreen::selectedDays() const
{
    QList<QDate> out;
    for (int c = 0; c < 7; ++c)
        for (int r = 1; r < 7; ++r)
            if (const QTableWidgetItem *item = m_days->item(r, c); item && item->data(SelectedRole).toBool())
                out << QDate(m_first.year(), m_first.month(), item->data(DayRole).toInt());
    return out;
}

void MapaDisponibilidadeCloneScreen::previousMonth()
{
    --g_offset;
    m_weekdays->setChecked(false);
    buildMonth();
}

void MapaDisponibilidadeCloneScreen::nextMonth()
{
    ++g_offset;
    m_weekdays->setChecked(false);
    buildMonth();
}

void MapaDisponibilidadeCloneScreen::gerar()
{
    QList<QDate> days = selectedDays();
    const QVariant unit = m_units->currentId();
    const QList<int> units = unit.isValid() ? QList<int>{unit.toInt()} : m_unitIds;
    Messages &msg = Services::messages();
    if (!m_includeHolidays->isChecked()) {
        // Nobody operates on a holiday: those days stay out unless the
        // clerk asks for them, and the question names them.
        QList<Holidays::Day> left;
        for (const Holidays::Day &h : std::as_const(m_off))
            if (days.contains(h.date))
                left << h;
        if (!left.isEmpty()) {
            if (!msg.confirm(QStringLiteral("Os dias abaixo são feriados e ficarão fora da agenda (marque \"Incluir "
                                            "feriados\" para gerá-los também):\r")
                                 + Holidays::describe(left) + QStringLiteral("\rDeseja continuar?"),
                             this))
                return;
            for (const Holidays::Day &h : left)
                days.removeAll(h.date);
        }
    }
    SlotStore::CloneResult r;
    try {
        LongWork progress(QStringLiteral("Clonagem de agenda"), QStringLiteral("Gerando agenda..."), this);
        progress.setTotal(qint64(days.size()) * units.size());
        r = m_store.clone(m_model, days, units, usuarioLogado().IdUsuario,
                          [&progress](int done) { return progress.step(done); });
    } catch (const std::exception &) {
        msg.error(QStringLiteral("Erro ao tentar gravar."), this);
        return;
    }
    if (r.cancelled)
        return;
    m_generated = m_generated || r.inserted > 0;
    QString text = QStringLiteral("Operação realizada com sucesso.");
    if (r.skipped > 0)
        text += QStringLiteral("\r") + QString::number(r.skipped)
                + QStringLiteral(" horário(s) já cadastrado(s) não foram clonados.");
    msg.information(text, this);
}
