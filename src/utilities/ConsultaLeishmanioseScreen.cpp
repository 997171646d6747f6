#include "utilities/ConsultaLeishmanioseScreen.h"
#include "db/DataModule.h"
#include "db/DbError.h"
#include "db/Sql.h"
#include "ui/FormHelpers.h"
#include "ui/Buttons.h"
#include "ui/ReadOnlyGrid.h"
#include "ui/Services.h"
#include "ui/StatusPanels.h"
#include "ui/register/PagedQueryModel.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QStatusBar>
#include <QTableView>
#include <QVBoxLayout>

namespace {

// Bulletins and their samples, joined on all three keys: a sample without
// its bulletin, or a bulletin without samples, never shows.
const QString kSource = QStringLiteral(
    "sa001041 a join sa001042 b on (a.numinca = b.numinca and a.numdistrito = b.numdistrito and a.numboletim = b.numboletim)");
// The sample's whole key completes every order, so pages never overlap.
const QString kKey = QStringLiteral("b.numinca, b.numdistrito, b.numboletim, b.codAmostra");
constexpr int kResultColumn = 0;
constexpr int kConfirmationColumn = 1;

Connection &kelda()
{
    return DataModule::current().connection(DataModule::KeldaName);
}

// Rows drawn in the colour of their result.
class ResultModel : public PagedQueryModel {
public:
    using PagedQueryModel::PagedQueryModel;
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (role == Qt::ForegroundRole && index.isValid()) {
            const QColor c = ConsultaLeishmanioseScreen::resultColour(rawValue(index.row(), kResultColumn).toString(),
                                                                      rawValue(index.row(), kConfirmationColumn).toString());
            if (c.isValid())
                return c;
        }
        return PagedQueryModel::data(index, role);
    }
};

QList<PagedQueryModel::Column> gridColumns()
{
    auto col = [](const char *title, const char *expression, int width) {
        return PagedQueryModel::Column{QString::fromUtf8(title), QString::fromLatin1(expression), true, width, {}};
    };
    return {col("Resultado exame.", "b.resultamostra", 100), col("Conf. resultado", "b.confamostra", 100),
            col("Inquerito", "b.numinca", 70),          col("Distrito", "a.numdistrito", 60),
            col("Cód. Amostra", "b.codAmostra", 90),     col("Proprietário", "b.nompropri", 220),
            col("Animal", "b.nomecao", 120),             col("Sexo", "b.caosexo", 40),
            col("Tipo Lograd.:", "b.tipolograd", 80),    col("Logradouro", "b.desclograd", 250),
            col("Nº Imovel", "b.numendprop", 70),        col("Complemento", "b.aptocomprop", 90),
            col("Boletim", "b.numboletim", 70),          col("Quadra", "b.numquart", 60),
            col("Dt. confirmação", "b.dtconfamostra", 110), col("Cód. lab.", "a.codlab", 80)};
}

QLineEdit *criterion(const char *name, QWidget *parent)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    // Typed in upper case, as the sibling system stores its texts.
    FormHelpers::upperCase(e);
    return e;
}

} // namespace

bool ConsultaLeishmanioseScreen::Criteria::isEmpty() const
{
    return sample.trimmed().isEmpty() && dog.trimmed().isEmpty() && street.trimmed().isEmpty()
           && number.trimmed().isEmpty();
}

ConsultaLeishmanioseScreen::Search ConsultaLeishmanioseScreen::search(const Dialect &d, const Criteria &c)
{
    QStringList where;
    Search s;
    if (!c.sample.trimmed().isEmpty()) {
        where << QStringLiteral("b.codAmostra = :amostra");
        s.params.insert(QStringLiteral("amostra"), c.sample.trimmed());
    }
    if (!c.dog.trimmed().isEmpty())
        where << d.foldedPrefix(QStringLiteral("b.nomecao"), c.dog.trimmed(), QStringLiteral("cao"), s.params);
    if (!c.street.trimmed().isEmpty()) {
        where << d.containsCondition(d.folded(QStringLiteral("b.desclograd")), QStringLiteral(":rua"));
        s.params.insert(QStringLiteral("rua"), d.containsValue(foldText(c.street.trimmed())));
    }
    if (!c.number.trimmed().isEmpty()) {
        where << QStringLiteral("b.numendprop = :numero");
        s.params.insert(QStringLiteral("numero"), c.number.trimmed().toLongLong());
    }
    s.where = where.join(QStringLiteral(" and "));
    return s;
}

QColor ConsultaLeishmanioseScreen::resultColour(const QString &result, const QString &confirmation)
{
    if (confirmation != QLatin1String("OK"))
        return {};
    if (result == QLatin1String("PO") || result == QLatin1String("RE"))
        return QColor(Qt::red);
    if (result == QLatin1String("NR"))
        return QColor(Qt::blue);
    if (result == QLatin1String("IN") || result == QLatin1String("MO"))
        return QColor(Qt::darkGreen);
    return {};
}

ConsultaLeishmanioseScreen::ConsultaLeishmanioseScreen(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmConsultaLeishmaniose"));
    setWindowTitle(QStringLiteral("045 - Consulta resultado de Leishmaniose Visceral Canina."));
    auto *root = new QVBoxLayout(this);

    auto *g = new QGridLayout;
    m_sample = criterion("edtCodAmostra", this);
    m_sample->setMaxLength(9);
    m_dog = criterion("edtNomeAnimal", this);
    m_dog->setMaxLength(15);
    m_street = criterion("edtLogradouro", this);
    m_street->setMaxLength(50);
    m_number = criterion("edtNumero", this);
    // A house number is a number: anything else could never match.
    m_number->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d{0,9}")), m_number));
    int col = 0;
    for (auto [caption, edit] : {std::pair{"Cód. amostra:", m_sample}, std::pair{"Nome do animal:", m_dog},
                                 std::pair{"Logradouro:", m_street}, std::pair{"Numero:", m_number}}) {
        auto *l = new QLabel(QString::fromUtf8(caption), this);
        l->setBuddy(edit);
        g->addWidget(l, 0, col);
        g->addWidget(edit, 1, col);
        connect(edit, &QLineEdit::returnPressed, this, &ConsultaLeishmanioseScreen::consultar);
        ++col;
    }
    g->setColumnStretch(2, 2);
    auto *consultar = commandButton(QStringLiteral("&Consultar"), QStringLiteral("btnConsultar"), this);
    connect(consultar, &QPushButton::clicked, this, &ConsultaLeishmanioseScreen::consultar);
    g->addWidget(consultar, 1, col);
    root->addLayout(g);

    // The legend of the row colours.
    auto *legend = new QHBoxLayout;
    for (auto [colour, caption] : {std::pair{QColor(Qt::red), "Positivo"}, std::pair{QColor(Qt::blue), "Não Reagente"},
                                   std::pair{QColor(Qt::darkGreen), "IN / MO"}, std::pair{QColor(Qt::black), "Outros"}}) {
        auto *square = new QLabel(this);
        square->setFixedSize(12, 12);
        square->setAutoFillBackground(true);
        QPalette p = square->palette();
        p.setColor(QPalette::Window, colour);
        square->setPalette(p);
        legend->addWidget(square);
        legend->addWidget(new QLabel(QString::fromUtf8(caption), this));
        legend->addSpacing(16);
    }
    legend->addStretch(1);
    root->addLayout(legend);

    m_model = new ResultModel(this);
    m_model->setConnection(&kelda());
    m_model->setSource(kSource, gridColumns(), kKey);
    m_grid = makeReadOnlyGrid(this, m_model, QStringLiteral("dbgResultado"), QStringLiteral("Resultados"));
    m_grid->horizontalHeader()->setStretchLastSection(false);
    for (int i = 0; i < m_model->columnCount(); ++i)
        m_grid->setColumnWidth(i, m_model->columns().at(i).width);
    QPalette gp = m_grid->palette();
    gp.setColor(QPalette::Base, gp.color(QPalette::Button));
    m_grid->setPalette(gp);
    connect(m_grid->horizontalHeader(), &QHeaderView::sectionClicked, this, &ConsultaLeishmanioseScreen::sortByColumn);
    connect(m_model, &PagedQueryModel::readFailed, this,
            [this](const QString &text) { Services::messages().error(text, this); });
    root->addWidget(m_grid, 1);

    root->addWidget(makeStatusPanels(this, {{}, {}, {}}, m_panels, false));
    resize(1100, 600);
}

ConsultaLeishmanioseScreen::~ConsultaLeishmanioseScreen() = default;

ConsultaLeishmanioseScreen::Criteria ConsultaLeishmanioseScreen::criteria() const
{
    return {m_sample->text(), m_dog->text(), m_street->text(), m_number->text()};
}

void ConsultaLeishmanioseScreen::consultar()
{
    const Criteria c = criteria();
    if (c.isEmpty()) {
        Services::messages().information(QStringLiteral("Falta preencher o texto para a pesquisa!"), this);
        m_sample->setFocus();
        return;
    }
    Connection &k = kelda();
    const Search s = search(k.dialect(), c);
    try {
        // Counted before the grid is touched: when the sibling database
        // cannot answer, the rows already shown stay.
        Sql::scalar(k, QStringLiteral("select count(*) from %1 where %2").arg(kSource, s.where), s.params);
        m_model->setFilter(s.where, s.params);
        m_model->reload();
    } catch (const DbError &e) {
        Services::messages().error(e.text(), this);
        return;
    }
    m_current = s;
    m_panels[2]->setText(QStringLiteral("%1 registros encontrados.").arg(m_model->rowCount()));
}

void ConsultaLeishmanioseScreen::sortByColumn(int column)
{
    // Before any search there is nothing to order.
    if (!m_current)
        return;
    const int previous = m_model->sortColumn();
    try {
        m_model->sortBy(column);
        m_model->reload();
    } catch (const DbError &e) {
        m_model->sortBy(previous);
        Services::messages().error(e.text(), this);
        return;
    }
    m_grid->viewport()->update();
}
