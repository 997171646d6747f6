#include "scheduling/MapaDisponibilidadeInformacaoScreen.h"
#include "db/DbError.h"
#include "db/ServerClock.h"
#include "ui/FormHelpers.h"
#include "scheduling/SlotStore.h"

#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QVBoxLayout>

MapaDisponibilidadeInformacaoScreen::MapaDisponibilidadeInformacaoScreen(Connection &c, QWidget *parent)
    : QWidget(parent, Qt::Window), m_c(c)
{
    setObjectName(QStringLiteral("frmMapaDisponibilidadeInformacao"));
    setWindowTitle(QStringLiteral("Informação do mês"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto *v = new QVBoxLayout(this);
    m_text = new QPlainTextEdit(this);
    m_text->setObjectName(QStringLiteral("memInformacao"));
    m_text->setAccessibleName(QStringLiteral("Informação do mês"));
    m_text->setReadOnly(true);
    m_text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    v->addWidget(m_text, 1);
    m_status = new QStatusBar(this);
    v->addWidget(m_status);
    resize(760, 520);
    reload();
}

QString MapaDisponibilidadeInformacaoScreen::text() const { return m_text->toPlainText(); }

void MapaDisponibilidadeInformacaoScreen::reload()
{
    try {
        const QDate today = serverNow(m_c).date();
        SlotStore store(m_c);
        const QList<SlotStore::SummaryRow> rows = store.monthSummary(today);
        m_text->setPlainText(SlotStore::monthSummaryText(rows));
        m_status->showMessage(summaryMonthName(today.month()) + QStringLiteral(" de ") + QString::number(today.year()));
    } catch (const DbError &e) {
        FormHelpers::showError(e, this);
    }
}
