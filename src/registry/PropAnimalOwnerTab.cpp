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
#include "ui/RecordKeys.h"
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
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    using R = RecordCommand;
    // Bound to the owner's tab: while another tab shows, the animal
    // toolbar's actions answer the same keys.
    FormHelpers::addToolbarActions(
        tab, bar,
        {{"actAppend", QStringLiteral("Novo"), recordKeys(R::Novo), [this] { novo(); }},
         {"actEdit", QStringLiteral("Alterar"), recordKeys(R::Alterar), [this] { alterar(); }},
         {"actDelete", QStringLiteral("Excluir"), recordKeys(R::Excluir), [this] { excluir(); }},
         {"actRefresh", QStringLiteral("Atualizar"), recordKeys(R::Atualizar), [this] { atualizar(); }},
         {"actPost", QStringLiteral("Gravar"), recordKeys(R::Gravar), [this] { gravar(); }},
         {"actCancel", QStringLiteral("Cancelar"), recordKeys(R::Cancelar), [this] { cancelar(); }},
         {},
         {"actFirst", QStringLiteral("Primeiro"), recordKeys(R::Primeiro), [this] { moveTo(0); }},
         {"actPrior", QStringLiteral("Anterior"), recordKeys(R::Anterior), [this] { moveTo(m_index - 1); }},
         {"actNext", QStringLiteral("Próximo"), recordKeys(R::Proximo), [this] { moveTo(m_index + 1); }},
         {"actLast", QStringLiteral("Último"), recordKeys(R::Ultimo), [this] { moveTo(int(m_ids.size()) - 1); }},
         {},
         // Imprimir and Pesquisar have always shared Ctrl+P, which printed:
         // the key stays with Imprimir alone, so that it is not ambiguous.
         {"actPrint", QStringLiteral("Imprimir..."), {QKeySequence(Qt::CTRL | Qt::Key_P)}, [this] { imprimir(); }},
         {"actPesquisar", QStringLiteral("Pesquisar"), {}, [this] { pesquisar(); }},
         {"actSair", QStringLiteral("Sair"), {QKeySequence(Qt::CTRL | Qt::Key_S)}, [this] { close(); }}},
        m_actions);

    auto *group = new QGroupBox(QStringLiteral(" Dados do proprietário: "), tab);
    group->setObjectName(QStringLiteral("grpDadosProprietario"));
    auto edit = [group](const char *name, int maxLength) {
        auto *e = new QLineEdit(group);
        e->setObjectName(QString::fromLatin1(name));
        if (maxLength > 0)
            e->setMaxLength(maxLength);
        return e;
    };
    m_codigo = edit("dbeId_Proprietario", 0);
    FormHelpers::readOnlyGrey(m_codigo);
    m_unidade = new QComboBox(group);
    m_unidade->setObjectName(QStringLiteral("dblUnidade"));
    m_nome = edit("dbeNome", 50);
    FormHelpers::upperCase(m_nome);
    m_telefone = edit("dbeTelefone_Residencial", 0);
    m_telefone->setInputMask(Documents::homePhoneMask());
    m_celular = edit("dbeTelefone_Celular", 0);
    m_celular->setInputMask(Documents::mobilePhoneMask());
    m_recado = edit("dbeTelefone_Recado", 0);
    m_recado->setInputMask(Documents::mobilePhoneMask());
    m_tipoPessoa = new QComboBox(group);
    m_tipoPessoa->setObjectName(QStringLiteral("cmbTipo_Pessoa"));
    m_tipoPessoa->addItems({QString(), Documents::pessoaFisica(), Documents::pessoaJuridica()});
    m_cpf = edit("dbeNum_CPF_CNPJ", 0);
    m_cpf->setToolTip(QStringLiteral("O campo CPF / CNPJ é somente número."));
    m_cpf->setInputMask(Documents::cpfCnpjMask(QString()));
    m_ci = edit("dbeNum_CI", 15);
    FormHelpers::upperCase(m_ci);
    m_ci->setToolTip(QStringLiteral("O campo Cart. Identidade é somente número."));
    m_email = edit("dbeEmail_Proprietario", 100);
    m_login = edit("edtLogin", 50);
    m_login->setReadOnly(true);
    m_senha = edit("edtSenha", 10); // typing stops at ten characters
    m_senha->setEchoMode(QLineEdit::Password);
    m_bloquear = new QCheckBox(QStringLiteral("Bloquear acesso."), group);
    m_bloquear->setObjectName(QStringLiteral("chkBloquear"));

    auto *g = new QGridLayout(group);
    int r = 0;
    auto row = [&](const QString &label, QWidget *w, int col) {
        QLabel *l = caption(label, w, group);
        g->addWidget(l, r, col * 2);
        g->addWidget(w, r, col * 2 + 1);
        return l;
    };
    row(QStringLiteral("Código:"), m_codigo, 0);
    row(QStringLiteral("Unidade:"), m_unidade, 1);
    ++r;
    row(QStringLiteral("Nome:"), m_nome, 0);
    g->addWidget(m_nome, r, 1, 1, 3);
    ++r;
    row(QStringLiteral("Telefone:"), m_telefone, 0);
    QLabel *lblCel = row(QStringLiteral("Tel. celular:"), m_celular, 1);
    ++r;
    QLabel *lblRec = row(QStringLiteral("Tel. recado:"), m_recado, 0);
    ++r;
    row(QStringLiteral("Tipo pessoa:"), m_tipoPessoa, 0);
    row(QStringLiteral("CPF / CNPJ:"), m_cpf, 1);
    ++r;
    row(QStringLiteral("Cart. Identidade:"), m_ci, 0);
    row(QStringLiteral("E-mail:"), m_email, 1);
    ++r;
    QLabel *lblLogin = row(QStringLiteral("Login:"), m_login, 0);
    row(QStringLiteral("Senha:"), m_senha, 1);
    ++r;
    g->addWidget(m_bloquear, r, 3);
    g->setColumnStretch(1, 1);
    g->setColumnStretch(3, 1);
    // Kept for the web account and older records, not shown.
    for (QWidget *w : {static_cast<QWidget *>(m_celular), static_cast<QWidget *>(lblCel),
                       static_cast<QWidget *>(m_recado), static_cast<QWidget *>(lblRec),
                       static_cast<QWidget *>(m_login), static_cast<QWidget *>(lblLogin)})
        w->hide();

    m_address = new AddressGroup(AddressGroup::Kind::Owner, tab);

    auto *lay = new QVBoxLayout(tab);
    lay->addWidget(bar);
    lay->addWidget(group);
    lay->addWidget(m_address);
    lay->addStretch(1);

    connect(m_tipoPessoa, &QComboBox::currentTextChanged, this, [this](const QString &t) {
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
