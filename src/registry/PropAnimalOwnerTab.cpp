// Screen 006: how the owner tab is laid out (its editors, address groups,
// web-account fields and toolbar); the record commands stay in
// PropAnimalScreen.cpp.
#include "registry/PropAnimalScreen.h"
#include "db/DataModule.h"
#include "db/DbError.h"
#include "db/Sql.h"
#include "registry/AddressGroup.h"
#include "registry/AnimalPanel.h"
#include "registry/VaccinationPanel.h"
#include "registry/StreetSearchWindow.h"
#include "db/Documents.h"
#include "ui/FormHelpers.h"
#include "ui/FocusFlow.h"
#include "ui/Toolbar.h"
#include "ui/Services.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFocusEvent>
#include <QScopedValueRollback>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>

using FormHelpers::caption;

void PropAnimalScreen::buildOwnerTab(QWidget *tab)
{
    auto *bar = new QToolBar(tab);
    bar->setObjectName(QStringLiteral("tlbProprietario"));
    // Bound to the owner's tab: while another tab shows, the animal
    // toolbar's actions answer the same keys.
    Toolbar::addActions(
        tab, bar,
        Toolbar::recordEntries(kRecordActions,
                               Toolbar::recordCommandsOf(this, [this] { return std::pair{m_index, int(m_ids.size())}; }))
            + QList<ToolbarEntry>{
                {},
                // Ctrl+P searches, as on every register screen with both
                // commands; one key for two commands would be ambiguous.
                {"actPrint", QStringLiteral("Imprimir..."), {}, [this] { imprimir(); }},
                {"actPesquisar", QStringLiteral("Pesquisar"), {QKeySequence(Qt::CTRL | Qt::Key_P)}, [this] { pesquisar(); }},
                {"actSair", QStringLiteral("Sair"), {QKeySequence(Qt::CTRL | Qt::Key_S)}, [this] { close(); }}},
        m_actions);

    auto *group = new QGroupBox(QStringLiteral(" Dados do proprietário: "), tab);
    group->setObjectName(QStringLiteral("grpDadosProprietario"));
    const auto add = [&](const FieldDef &def) { return qobject_cast<QLineEdit *>(m_fields.add(def, group)->editor()); };
    FormHelpers::readOnlyGrey(add(keyField(QStringLiteral("Id_Proprietario"))));
    m_fields.add(lookupField(QStringLiteral("Unidade:"), QStringLiteral("id_Unidade_Trabalho"),
                             {QStringLiteral("unidade_trabalho"), QStringLiteral("Id_Unidade_Trabalho"), QStringLiteral("Nome"), {},
                              QStringLiteral("Ind_Status = 'ATIVO'")})
                     .name(QStringLiteral("dblUnidade")).withBlank().greyedWhenLocked(),
                 group);
    m_nome = add(text(QStringLiteral("Nome:"), QStringLiteral("Nome")).upper());
    // The landline's mask is put on only while typing (see showPhone).
    m_telefone = add(text(QStringLiteral("Telefone:"), QStringLiteral("Telefone_Residencial")).mask(Documents::homePhoneMask()));
    add(text(QStringLiteral("Tel. celular:"), QStringLiteral("Telefone_Celular")).mask(Documents::mobilePhoneMask()));
    add(text(QStringLiteral("Tel. recado:"), QStringLiteral("Telefone_Recado")).mask(Documents::mobilePhoneMask()));
    m_fields.add(choice(QStringLiteral("Tipo pessoa:"), QStringLiteral("Tipo_Pessoa"), {Documents::pessoaFisica(), Documents::pessoaJuridica()})
                     .name(QStringLiteral("cmbTipo_Pessoa")).withBlank().greyedWhenLocked(),
                 group);
    m_cpf = add(text(QStringLiteral("CPF / CNPJ:"), QStringLiteral("Num_CPF_CNPJ")).mask(Documents::cpfCnpjMask(QString())));
    m_cpf->setToolTip(QStringLiteral("O campo CPF / CNPJ é somente número."));
    add(text(QStringLiteral("Cart. Identidade:"), QStringLiteral("Num_CI")).upper())
        ->setToolTip(QStringLiteral("O campo Cart. Identidade é somente número."));
    add(text(QStringLiteral("E-mail:"), QStringLiteral("Email_Proprietario")));
    // The web account's fields are no columns of the owner.
    auto edit = [group](const char *name, int maxLength) {
        auto *e = new QLineEdit(group);
        e->setObjectName(QString::fromLatin1(name));
        e->setMaxLength(maxLength);
        return e;
    };
    m_login = edit("edtLogin", 50);
    m_login->setReadOnly(true);
    m_senha = edit("edtSenha", 10); // typing stops at ten characters
    m_senha->setEchoMode(QLineEdit::Password);
    m_bloquear = new QCheckBox(QStringLiteral("Bloquear acesso."), group);
    m_bloquear->setObjectName(QStringLiteral("chkBloquear"));

    auto *g = new QGridLayout(group);
    // Two captions and editors a row; the phones kept for the web account
    // and older records, and the login, are not shown.
    const struct {
        const char *column;
        int row, col, span;
    } places[] = {{"Id_Proprietario", 0, 0, 1}, {"id_Unidade_Trabalho", 0, 1, 1}, {"Nome", 1, 0, 3},
                  {"Telefone_Residencial", 2, 0, 1}, {"Telefone_Celular", 2, 1, 1}, {"Telefone_Recado", 3, 0, 1},
                  {"Tipo_Pessoa", 4, 0, 1},  {"Num_CPF_CNPJ", 4, 1, 1}, {"Num_CI", 5, 0, 1},
                  {"Email_Proprietario", 5, 1, 1}};
    for (const auto &p : places) {
        FieldBinder *b = m_fields.at(QLatin1String(p.column));
        g->addWidget(b->label(), p.row, p.col * 2);
        g->addWidget(b->editor(), p.row, p.col * 2 + 1, 1, p.span);
        if (p.column == QLatin1String("Telefone_Celular") || p.column == QLatin1String("Telefone_Recado"))
            for (QWidget *w : {static_cast<QWidget *>(b->label()), b->editor()})
                w->hide();
    }
    QLabel *lblLogin = caption(QStringLiteral("Login:"), m_login, group);
    g->addWidget(lblLogin, 6, 0);
    g->addWidget(m_login, 6, 1);
    g->addWidget(caption(QStringLiteral("Senha:"), m_senha, group), 6, 2);
    g->addWidget(m_senha, 6, 3);
    g->addWidget(m_bloquear, 7, 3);
    g->setColumnStretch(1, 1);
    g->setColumnStretch(3, 1);
    lblLogin->hide();
    m_login->hide();

    m_address = new AddressGroup(AddressGroup::Kind::Owner, tab);

    auto *lay = new QVBoxLayout(tab);
    lay->addWidget(bar);
    lay->addWidget(group);
    lay->addWidget(m_address);
    lay->addStretch(1);

    connect(m_fields.editorAs<QComboBox>(QStringLiteral("Tipo_Pessoa")), &QComboBox::currentTextChanged, this, [this](const QString &t) {
        const QString digits = Documents::digitsOnly(m_cpf->text());
        m_cpf->setInputMask(Documents::cpfCnpjMask(t));
        m_cpf->setText(digits);
    });
    connect(m_cpf, &QLineEdit::textChanged, this, [this] {
        // The web login is the tax number's digits.
        m_login->setText(Documents::digitsOnly(m_cpf->text()));
    });
    connect(m_nome, &QLineEdit::textEdited, this, [this] { setWindowTitle(m_nome->text()); });
    connect(m_bloquear, &QCheckBox::toggled, this, [this](bool on) {
        if (!m_bloquear->isEnabled())
            return;
        QPalette p = m_bloquear->palette();
        p.setColor(QPalette::WindowText, on ? QColor(Qt::red) : QApplication::palette().color(QPalette::WindowText));
        m_bloquear->setPalette(p);
        if (!on)
            m_bloquear->setText(QStringLiteral("Bloquear acesso."));
    });
    m_nome->installEventFilter(this);
    m_cpf->installEventFilter(this);
}
