#include "scheduling/SchedulingWidgets.h"
#include "ui/FormHelpers.h"

#include <QLabel>
#include <QCheckBox>
#include <QComboBox>
#include "ui/DateEdit.h"
#include <QGridLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>

QWidget *buildInertMailPage(QWidget *parent)
{
    using FormHelpers::caption;
    auto *page = new QWidget(parent);
    page->setObjectName(QStringLiteral("tabEnvioEmail"));
    auto *g = new QGridLayout(page);
    auto *status = new QComboBox(page);
    status->setObjectName(QStringLiteral("dblAtendimento_status"));
    auto *inicio = new DateEdit(page);
    auto *fim = new DateEdit(page);
    g->addWidget(caption(QStringLiteral("Status do atendimento:"), status, page), 0, 0);
    g->addWidget(status, 0, 1);
    g->addWidget(caption(QStringLiteral("Data inicial:"), inicio, page), 0, 2);
    g->addWidget(inicio, 0, 3);
    g->addWidget(caption(QStringLiteral("Data final:"), fim, page), 0, 4);
    g->addWidget(fim, 0, 5);
    int col = 0;
    for (const QString &t : {QStringLiteral("Pesquisar"), QStringLiteral("Limpar"), QStringLiteral("Enexar arquivo"),
                             QStringLiteral("Enviar")}) {
        auto *b = new QPushButton(t, page);
        b->setAccessibleName(t);
        g->addWidget(b, 1, col++);
    }
    auto *owners = new QListWidget(page);
    owners->setAccessibleName(QStringLiteral("Proprietários"));
    g->addWidget(new QCheckBox(QStringLiteral("Selecionar todos"), page), 2, 0, 1, 2);
    g->addWidget(owners, 3, 0, 1, 6);
    auto *assunto = new QLineEdit(page);
    g->addWidget(caption(QStringLiteral("Assunto:"), assunto, page), 4, 0);
    g->addWidget(assunto, 4, 1, 1, 5);
    auto *mensagem = new QPlainTextEdit(page);
    g->addWidget(caption(QStringLiteral("Mensagem:"), mensagem, page), 5, 0);
    g->addWidget(mensagem, 5, 1, 1, 5);
    return page;
}
