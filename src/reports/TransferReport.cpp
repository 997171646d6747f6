#include "reports/TransferReport.h"
#include "db/DataModule.h"
#include "db/Formats.h"
#include "db/ServerClock.h"
#include "reports/ListLayout.h"
#include "reports/engine/ReportData.h"
#include "reports/engine/Reports.h"
#include "ui/Buttons.h"
#include "ui/FormHelpers.h"
#include "ui/ScreenCatalog.h"
#include "ui/Services.h"

#include <QCheckBox>
#include "ui/DateEdit.h"
#include <QFormLayout>
#include <QLabel>
#include <QMdiSubWindow>
#include <QVBoxLayout>

namespace TransferReport {

namespace {

QString dateText(const QVariant &v)
{
    const QDateTime t = v.toDateTime();
    return v.isNull() || !t.isValid() ? QString() : Formats::date(t.date());
}

} // namespace

ReportDefinition definition(Connection &c, const QDate &from, const QDate &to)
{
    ReportDefinition def;
    def.title = QStringLiteral("Animais com Transferência");
    def.paper = QPageSize::Letter;
    const double w = def.contentWidth();
    Connection *conn = &c;
    QString where;
    QVariantMap params;
    if (from.isValid() && to.isValid()) {
        // Whole days: every moment of the last one counts.
        where = QStringLiteral("where a.Dt_Muda_Proprietario >= :ini and a.Dt_Muda_Proprietario < :fim ");
        params = {{QStringLiteral("ini"), QDateTime(from, QTime(0, 0))}, {QStringLiteral("fim"), QDateTime(Formats::dayAfter(to), QTime(0, 0))}};
    }
    def.data = [conn, where, params] {
        // By animal, then in the order the records were made, so each
        // animal's group holds all its records.
        return QueryDataSource::open(
            *conn,
            QStringLiteral(
                "select a.Id_Animal, a.Id_Anterior_Proprietario, a.Id_Proprietario, a.Dt_Muda_Proprietario, b.Nome as NomeAnimal, "
                "b.Sexo, b.Data_Nascimento, b.Esterilizado, b.Num_Microchip, c.Nome as nomeproprietarioAtu, "
                "c.Telefone_Residencial as TelResAtu, c.Telefone_Celular as TelCelAtu, c.Telefone_Recado as TelRecAtu, "
                "c.Num_CPF_CNPJ as CpfAtu, c.Tipo_Pessoa as TipPessoaAtu, c.Id_Endereco as EnderecoAtu, "
                "d.Nome as nomeproprietarioAnt1, e.Nome as nomeproprietarioAnt2, f.TIP_LOGR, f.NOM_LOGR, f.NUM_IMOV_LOGR, "
                "f.NOM_BAIR, f.NUM_CEP, g.Nome as NomeEspecie, h.Nome as NomeRaca "
                "from Histo_Muda_Proprietario a left join Animal b on (a.id_Animal=b.id_Animal) "
                "left join Proprietario c on (b.id_Proprietario=c.id_Proprietario) "
                "left join Proprietario d on (a.id_Proprietario=d.id_Proprietario) "
                "left join Proprietario e on (a.id_Anterior_Proprietario=e.id_Proprietario) "
                "left join Endereco f on (c.id_Endereco=f.id_endereco) left join Especie g on (b.Id_Especie=g.id_Especie) "
                "left join Raca h on (b.Id_Raca=h.Id_Raca) ")
                + where + QStringLiteral("order by a.Id_Animal, a.Id_Histo_Muda_Proprietario"),
            params);
    };

    ReportBand &title = def.band(BandKind::Title, 15);
    ListLayout::addReportHeader(title, w, QStringLiteral("REL043"), def.title, 8, 10, false, Formats::dateTime(serverNow(c)));
    title.lineBelow = true;

    ReportGroup &g = def.addGroup(QStringLiteral("animal"), QStringLiteral("Id_Animal"));
    ReportBand &h = g.header;
    h.height = 22;
    h.box = true;
    auto caption = [&h](double x, double y, double width, const QString &text) {
        h.add(Items::label(x, y, width, 4, text)).size(8).bold();
    };
    auto value = [&h](double x, double y, double width, const QString &column) {
        h.add(Items::field(x, y, width, 4, column)).size(8);
    };
    const double c2 = w * 0.40, c3 = w * 0.70;
    caption(2, 1, 28, QStringLiteral("Nome do Animal :"));
    value(30, 1, c2 - 32, QStringLiteral("NomeAnimal"));
    caption(c2, 1, 12, QStringLiteral("Sexo : "));
    value(c2 + 12, 1, c3 - c2 - 14, QStringLiteral("Sexo"));
    caption(c3, 1, 20, QStringLiteral("Data Nasc. : "));
    h.add(Items::computed(c3 + 20, 1, w - c3 - 22, 4, [](const ReportRow &r) { return dateText(r.value(QStringLiteral("Data_Nascimento"))); }))
        .size(8);
    caption(2, 5, 12, QStringLiteral("Raça :"));
    value(14, 5, c2 - 16, QStringLiteral("NomeRaca"));
    caption(c2, 5, 22, QStringLiteral("Esterilizado :"));
    value(c2 + 22, 5, c3 - c2 - 24, QStringLiteral("Esterilizado"));
    caption(c3, 5, 18, QStringLiteral("Microchip :"));
    value(c3 + 18, 5, w - c3 - 20, QStringLiteral("Num_Microchip"));
    caption(2, 9, 16, QStringLiteral("Espécie :"));
    value(18, 9, c2 - 20, QStringLiteral("NomeEspecie"));
    caption(2, 13, 22, QStringLiteral("Proprietário :"));
    value(24, 13, c2 - 26, QStringLiteral("nomeproprietarioAtu"));
    caption(c2, 13, 10, QStringLiteral("CPF :"));
    value(c2 + 10, 13, c3 - c2 - 12, QStringLiteral("CpfAtu"));
    caption(c3, 13, 16, QStringLiteral("Telefone :"));
    value(c3 + 16, 13, w - c3 - 18, QStringLiteral("TelResAtu"));
    caption(c3, 17, 16, QStringLiteral("Celular : "));
    value(c3 + 16, 17, w - c3 - 18, QStringLiteral("TelCelAtu"));
    h.add(Items::computed(2, 17, c3 - 4, 4, [](const ReportRow &r) {
         return r.text(QStringLiteral("TIP_LOGR")) + QLatin1Char(' ') + r.text(QStringLiteral("NOM_LOGR")) + QLatin1Char(' ')
                + r.text(QStringLiteral("NUM_IMOV_LOGR")) + QStringLiteral(" - ") + r.text(QStringLiteral("NOM_BAIR"))
                + QStringLiteral("  -  ") + r.text(QStringLiteral("NUM_CEP"));
     })).size(8);

    ReportBand &d = def.band(BandKind::Detail, 5);
    d.add(Items::computed(4, 0.5, w - 6, 4, [](const ReportRow &r) {
         return dateText(r.value(QStringLiteral("Dt_Muda_Proprietario"))) + QStringLiteral(" - Transferido de ")
                + r.text(QStringLiteral("nomeproprietarioAnt2")) + QStringLiteral(" para ")
                + r.text(QStringLiteral("nomeproprietarioAnt1"));
     }).named(QStringLiteral("linha"))).size(8);

    ListLayout::addPageNumber(def);
    return def;
}

} // namespace TransferReport

SelRelTransferenciaWindow::SelRelTransferenciaWindow(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmSelRelTransferencia"));
    setWindowTitle(QStringLiteral("043 - Animais com transferência de proprietários."));
    setAttribute(Qt::WA_DeleteOnClose);
    auto *outer = new QVBoxLayout(this);
    // Every transfer unless the clerk asks for a period (this month first offered).
    m_usePeriod = new QCheckBox(QStringLiteral("Somente as transferências do período:"), this);
    m_usePeriod->setObjectName(QStringLiteral("chkPeriodo"));
    outer->addWidget(m_usePeriod);
    auto *form = new QFormLayout;
    const QDate today = QDate::currentDate();
    auto date = [this](const char *name, const QDate &d) {
        auto *e = new DateEdit(d, this);
        e->setObjectName(QString::fromLatin1(name));
        e->setCalendarPopup(true);
        e->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
        e->setEnabled(false);
        return e;
    };
    m_from = date("dtpInicio", QDate(today.year(), today.month(), 1));
    m_to = date("dtpFim", today);
    form->addRow(FormHelpers::caption(QStringLiteral("Inicio:"), m_from, this), m_from);
    form->addRow(FormHelpers::caption(QStringLiteral("Fim:"), m_to, this), m_to);
    outer->addLayout(form);
    connect(m_usePeriod, &QCheckBox::toggled, m_from, &QWidget::setEnabled);
    connect(m_usePeriod, &QCheckBox::toggled, m_to, &QWidget::setEnabled);
    auto *buttons = new ButtonRow(this);
    buttons->stretch();
    buttons->add(QStringLiteral("&Visualizar impr."), QStringLiteral("btnVisualizar"), this, &SelRelTransferenciaWindow::visualizar);
    buttons->add(QStringLiteral("&Sair"), QStringLiteral("btnSair"), this, [this] { close(); });
    outer->addLayout(buttons);
}

void SelRelTransferenciaWindow::visualizar()
{
    bool shown = false;
    if (m_usePeriod->isChecked()) {
        if (m_to->date() < m_from->date()) {
            Services::messages().information(QStringLiteral("A data inicial não pode ser maior que a data final."), this);
            return;
        }
        shown = Reports::openForPeriod(TransferReport::definition(mainConnection(), m_from->date(), m_to->date()), this);
    } else {
        shown = Reports::open(TransferReport::definition(mainConnection()), this);
    }
    if (shown) {
        if (auto *sub = qobject_cast<QMdiSubWindow *>(parentWidget()))
            sub->close();
        else
            close();
    }
}

void registerTransferReport(ScreenCatalog &catalog)
{
    catalog.add(43, [](QWidget *parent) -> QWidget * {
        auto *w = new SelRelTransferenciaWindow(parent);
        if (parent && parent->inherits("MenuPrincipalScreen"))
            return w; // framed by the main window
        // Asked for by another screen (the transfer screen's "Relatório..."):
        // a window of its own over it.
        w->setWindowFlag(Qt::Window);
        w->show();
        return nullptr;
    });
}
