#include "app/Login_2Screen.h"
#include "ui/FocusFlow.h"
#include "app/ProgramExit.h"
#include "app/Product.h"
#include "db/DataModule.h"
#include "db/DbError.h"
#include "db/PasswordDigest.h"
#include "db/Sql.h"
#include "ui/Services.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

namespace {

constexpr int ProfileRole = Qt::UserRole + 1;

QLabel *centredPanel(const QString &objectName)
{
    auto *l = new QLabel;
    l->setObjectName(objectName);
    l->setAlignment(Qt::AlignCenter);
    l->setFrameShape(QFrame::StyledPanel);
    l->setFrameShadow(QFrame::Sunken);
    return l;
}

} // namespace

Login_2Screen::Login_2Screen(std::function<void()> configureMenu, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      m_configureMenu(std::move(configureMenu))
{
    setObjectName(QStringLiteral("frmLogin_2"));
    setWindowTitle(Product::loginWindowTitle());

    auto *welcome = new QGroupBox(QStringLiteral(" Bem vindo ao sistema : "));
    welcome->setObjectName(QStringLiteral("grpBemVindo"));
    auto *title = new QLabel(Product::title());
    title->setObjectName(QStringLiteral("lblTitulo"));
    QFont big = title->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.3);
    title->setFont(big);
    title->setAlignment(Qt::AlignCenter);
    auto *version = new QLabel(Product::versionCaption());
    version->setObjectName(QStringLiteral("lblVersao"));
    version->setAlignment(Qt::AlignCenter);
    auto *wl = new QVBoxLayout(welcome);
    wl->addWidget(title);
    wl->addWidget(version);

    auto *ident = new QGroupBox(QStringLiteral(" Identificação "));
    ident->setObjectName(QStringLiteral("grpIdentificacao"));
    m_unidade = new QComboBox;
    m_unidade->setObjectName(QStringLiteral("dblUnidade"));
    m_usuario = new QComboBox;
    m_usuario->setObjectName(QStringLiteral("dblUsuario"));
    m_senha = new QLineEdit;
    m_senha->setObjectName(QStringLiteral("edtSenha"));
    m_senha->setEchoMode(QLineEdit::Password);
    for (QComboBox *c : {m_unidade, m_usuario}) {
        c->setMinimumContentsLength(30);
        c->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    }
    auto *grid = new QGridLayout(ident);
    auto addRow = [grid](int row, const QString &caption, QWidget *editor) {
        auto *label = new QLabel(caption);
        label->setBuddy(editor);
        editor->setAccessibleName(caption.trimmed());
        grid->addWidget(label, row, 0);
        grid->addWidget(editor, row, 1);
    };
    addRow(0, QStringLiteral("Unidade de trabalho: "), m_unidade);
    addRow(1, QStringLiteral("Usuário : "), m_usuario);
    addRow(2, QStringLiteral("Senha : "), m_senha);

    m_ok = new QPushButton(QStringLiteral("&OK"));
    m_ok->setObjectName(QStringLiteral("bmpOK"));
    m_sair = new QPushButton(QStringLiteral("&Sair"));
    m_sair->setObjectName(QStringLiteral("bmpSair"));
    // Enter moves between fields; it must not press a button by default.
    m_ok->setAutoDefault(false);
    m_sair->setAutoDefault(false);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_sair);

    auto *status = new QStatusBar;
    status->setSizeGripEnabled(false);
    m_panelUsuario = centredPanel(QStringLiteral("stbUsuario"));
    m_panelPerfil = centredPanel(QStringLiteral("stbPerfil"));
    status->addWidget(m_panelUsuario, 1);
    status->addWidget(m_panelPerfil, 1);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(welcome);
    layout->addWidget(ident);
    layout->addLayout(buttons);
    layout->addWidget(status);


    connect(m_unidade, &QComboBox::currentIndexChanged, this, &Login_2Screen::unitPicked);
    connect(m_usuario, &QComboBox::currentIndexChanged, this, &Login_2Screen::userPicked);
    connect(m_ok, &QPushButton::clicked, this, &Login_2Screen::confirm);
    connect(m_sair, &QPushButton::clicked, this, &Login_2Screen::exitProgram);
    // Enter walks the fields and presses the button it reaches.
    FocusFlow::watchBelow(this);
}

void Login_2Screen::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!m_unitsLoaded)
        loadUnits();
}

void Login_2Screen::loadUnits()
{
    m_unitsLoaded = true;
    QSignalBlocker block(m_unidade);
    m_unidade->clear();
    try {
        QSqlQuery q = Sql::exec(mainConnection(),
                                QStringLiteral("select Id_Unidade_Trabalho, Nome from unidade_trabalho "
                                               "where Ind_Status = 'ATIVO' order by Id_Unidade_Trabalho"));
        while (q.next()) {
            const int id = q.value(0).toInt();
            m_unidade->addItem(QStringLiteral("%1 - %2").arg(id).arg(Sql::text(q.value(1)).toUpper()), id);
        }
    } catch (const DbError &e) {
        Services::messages().error(e.text(), this);
    }
    m_unidade->setCurrentIndex(-1);
}

void Login_2Screen::unitPicked(int index)
{
    // The earlier unit's user is no longer picked.
    {
        QSignalBlocker block(m_usuario);
        m_usuario->clear();
        m_usuario->setCurrentIndex(-1);
    }
    m_panelUsuario->clear();
    m_panelPerfil->clear();
    if (index < 0)
        return;
    const QVariant unit = m_unidade->itemData(index);
    if (unit.toString().trimmed().isEmpty())
        return;
    try {
        // Only users who may log in are offered: not blocked, not inactive,
        // active, with a login and a name; nobody of unit 15.
        QSqlQuery q = Sql::exec(
            mainConnection(),
            QStringLiteral("select Id_Usuario, id_perfil, Nome as nome, Senha, senha_crip from usuario"
                           " where Id_Unidade_Trabalho = :unidade"
                           " and Bloqueado = 'NAO'"
                           " and inativo = 'NAO'"
                           " and (login is not null) and (ltrim(rtrim(login)) <> '')"
                           " and (nome is not null) and (ltrim(rtrim(nome)) <> '')"
                           " and Id_Unidade_Trabalho <> 15"
                           " and Status_Registro = 'ATIVO'"
                           " order by upper(Nome)"),
            {{QStringLiteral("unidade"), unit.toInt()}});
        QSignalBlocker block(m_usuario);
        while (q.next()) {
            // Upper case in C++: SQLite's upper() leaves accented letters as they are.
            m_usuario->addItem(Sql::text(q, QStringLiteral("nome")).toUpper(), q.value(0).toInt());
            m_usuario->setItemData(m_usuario->count() - 1, Sql::text(q, QStringLiteral("id_perfil")), ProfileRole);
        }
        m_usuario->setCurrentIndex(-1);
    } catch (const DbError &e) {
        Services::messages().error(e.text(), this);
    }
}

void Login_2Screen::userPicked(int index)
{
    m_panelUsuario->clear();
    m_panelPerfil->clear();
    if (index < 0)
        return;
    m_panelUsuario->setText(QStringLiteral("%1 - %2").arg(m_usuario->itemData(index).toString(), m_usuario->itemText(index)));
    const QString perfil = m_usuario->itemData(index, ProfileRole).toString().trimmed();
    if (perfil.isEmpty())
        return;
    try {
        QSqlQuery q = Sql::exec(mainConnection(), QStringLiteral("select nome from perfil where id_perfil = :perfil"),
                                {{QStringLiteral("perfil"), perfil.toInt()}});
        if (q.next())
            m_panelPerfil->setText(Sql::text(q, QStringLiteral("nome")).toUpper());
    } catch (const DbError &e) {
        Services::messages().error(e.text(), this);
    }
}

bool Login_2Screen::pickUnit(int idUnidade)
{
    if (!m_unitsLoaded)
        loadUnits();
    const int i = m_unidade->findData(idUnidade);
    if (i < 0)
        return false;
    m_unidade->setCurrentIndex(i);
    return true;
}

bool Login_2Screen::pickUser(int idUsuario)
{
    const int i = m_usuario->findData(idUsuario);
    if (i < 0)
        return false;
    m_usuario->setCurrentIndex(i);
    return true;
}

void Login_2Screen::confirm()
{
    Messages &msg = Services::messages();
    const QString typed = PasswordDigest::trimmed(m_senha->text());
    if (m_unidade->currentText().trimmed().isEmpty()) {
        msg.information(QStringLiteral("Selecione a unidade de trabalho!"), this);
        return;
    }
    if (m_usuario->currentText().trimmed().isEmpty()) {
        msg.information(QStringLiteral("Selecione o usuário!"), this);
        return;
    }
    if (typed.isEmpty()) {
        msg.information(QStringLiteral("Falta digitar a senha!"), this);
        return;
    }
    if (!PasswordDigest::acceptable(typed)) {
        msg.information(PasswordDigest::unacceptableMessage(), this);
        return;
    }
    const QString digest = PasswordDigest::of(typed);
    const int unit = m_unidade->currentData().toInt();
    const int user = m_usuario->currentData().toInt();

    try {
        Connection &c = mainConnection();
        QSqlQuery q = Sql::exec(c,
                                QStringLiteral("select Id_Usuario, Id_Unidade_Trabalho, Id_Perfil, Nome as nome, Login, Senha, senha_crip"
                                               " from usuario"
                                               " where Id_Usuario = :usuario"
                                               " and senha_crip = :digest"
                                               " and id_unidade_trabalho = :unidade"),
                                {{QStringLiteral("usuario"), user}, {QStringLiteral("digest"), digest},
                                 {QStringLiteral("unidade"), unit}});
        if (!q.next() || Sql::text(q, QStringLiteral("id_usuario")).isEmpty()) {
            msg.information(QStringLiteral("Senha invalida!"), this);
            return;
        }
        // Built apart and put in place whole: a failure below leaves the
        // session as it was.
        TUsuarioLogado s;
        s.IdUsuario = Sql::text(q, QStringLiteral("id_Usuario"));
        s.IdPerfil = Sql::text(q, QStringLiteral("id_perfil"));
        s.IdUnidadeTrabalho = Sql::text(q, QStringLiteral("id_Unidade_trabalho"));
        s.NomeUsuario = Sql::text(q, QStringLiteral("nome")).toUpper();
        s.Login = Sql::text(q, QStringLiteral("login"));
        s.Senha = Sql::text(q, QStringLiteral("senha"));
        q.finish();
        s.NomeUnidade = Sql::text(Sql::scalar(c, QStringLiteral("select nome from unidade_trabalho where id_unidade_trabalho = :unidade"),
                                              {{QStringLiteral("unidade"), s.IdUnidadeTrabalho.toInt()}}));
        s.NomePerfil = Sql::text(Sql::scalar(c, QStringLiteral("select nome from perfil where id_perfil = :perfil"),
                                             {{QStringLiteral("perfil"), s.IdPerfil.toInt()}}));
        usuarioLogado() = s;
    } catch (const DbError &e) {
        msg.error(e.text(), this);
        return;
    }
    if (m_configureMenu)
        m_configureMenu();
    emit loggedIn();
    accept();
}

void Login_2Screen::exitProgram()
{
    ProgramExit::request(0);
    QDialog::reject();
}
