#include "tables/ReceituarioPadraoScreen.h"
#include "db/DataModule.h"
#include "db/DbError.h"
#include "db/Session.h"
#include "reports/ListReports.h"
#include "tables/PrescriptionTexts.h"
#include "ui/Buttons.h"
#include "ui/Services.h"

#include <QHBoxLayout>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

ReceituarioPadraoScreen::ReceituarioPadraoScreen(QWidget *parent, Connection *connection)
    : QWidget(parent), m_conn(connection ? connection : &mainConnection())
{
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("frmReceituarioPadrao"));
    setWindowTitle(QStringLiteral("020 - Receituário padrão."));
    auto *outer = new QVBoxLayout(this);
    m_text = new QPlainTextEdit(this);
    m_text->setObjectName(QStringLiteral("dbmDescricao"));
    m_text->setAccessibleName(QStringLiteral("Receituário padrão"));
    m_text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    outer->addWidget(m_text, 1);

    auto *buttons = new ButtonRow(this);
    m_gravar = buttons->add(QStringLiteral("&Gravar"), QStringLiteral("bmpGravar"));
    m_alterar = buttons->add(QStringLiteral("&Alterar"), QStringLiteral("bmpAlterar"));
    m_imprimir = buttons->add(QStringLiteral("&Imprimir..."), QStringLiteral("bmpImprimir"));
    buttons->stretch();
    m_sair = buttons->add(QStringLiteral("&Sair"), QStringLiteral("bmpSair"));
    outer->addLayout(buttons);
    connect(m_gravar, &QPushButton::clicked, this, [this] { save(); });
    connect(m_alterar, &QPushButton::clicked, this, &ReceituarioPadraoScreen::alter);
    connect(m_imprimir, &QPushButton::clicked, this, &ReceituarioPadraoScreen::print);
    connect(m_sair, &QPushButton::clicked, this, [this] {
        if (auto *sub = qobject_cast<QMdiSubWindow *>(parentWidget()))
            sub->close();
        else
            close();
    });
    setEditing(false);
    resize(620, 420);
}

void ReceituarioPadraoScreen::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    if (!m_loaded)
        reload();
}

void ReceituarioPadraoScreen::setEditing(bool on)
{
    m_editing = on;
    m_text->setReadOnly(!on);
}

void ReceituarioPadraoScreen::reload()
{
    m_loaded = true;
    try {
        m_text->setPlainText(PrescriptionTexts::standardText(*m_conn));
    } catch (const DbError &e) {
        Services::messages().error(e.text(), this);
    }
    setEditing(false);
}

void ReceituarioPadraoScreen::alter()
{
    // Always the stored text (another workstation may have changed it).
    reload();
    setEditing(true);
    m_text->setFocus();
}

bool ReceituarioPadraoScreen::save()
{
    if (!m_editing) {
        Services::messages().information(QStringLiteral("Clik em alterar para editar o registro."), this);
        return false;
    }
    bool ok = false;
    const int user = usuarioLogado().IdUsuario.trimmed().toInt(&ok);
    try {
        PrescriptionTexts::saveStandardText(*m_conn, m_text->toPlainText(), ok ? QVariant(user) : QVariant());
    } catch (const DbError &) {
        // Rolled back by the time the box shows.
        Services::messages().information(QStringLiteral("Erro ao tentar gravar o registro!"), this);
        return false;
    }
    reload();
    Services::messages().information(QStringLiteral("Operação realizada com sucesso!"), this);
    return true;
}

void ReceituarioPadraoScreen::print()
{
    ListReports::open(ListReport::ReceituarioPadraoImp, window());
}
