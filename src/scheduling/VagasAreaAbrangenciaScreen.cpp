#include "scheduling/VagasAreaAbrangenciaScreen.h"
#include "db/DataModule.h"
#include "db/DbError.h"
#include "db/Sql.h"
#include "ui/Buttons.h"
#include "ui/FormHelpers.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFont>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

QStringList VagasAreaAbrangenciaScreen::districtEntries()
{
    return {QStringLiteral("Todos os distritos"), QStringLiteral("D.S.VARZELO"),   QStringLiteral("D.S.CENTRO SUL"),
            QStringLiteral("D.S.LESTE"),          QStringLiteral("D.S.NORDESTE"),  QStringLiteral("D.S.NOROESTE"),
            QStringLiteral("D.S.NORTE"),          QStringLiteral("D.S.OESTE"),     QStringLiteral("D.S.CORVENTA"),
            QStringLiteral("D.S.ALBERANA")};
}

VagasAreaAbrangenciaScreen::VagasAreaAbrangenciaScreen(Connection &c, QWidget *parent) : QDialog(parent), m_c(c)
{
    setObjectName(QStringLiteral("frmVagasAreaAbrangencia"));
    setWindowTitle(QStringLiteral("Área de abrangências"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    auto *v = new QVBoxLayout(this);

    auto *unitBox = new QGroupBox(QStringLiteral(" Unidade onde a vaga será disponibilizada: "), this);
    auto *ul = new QVBoxLayout(unitBox);
    auto *unit = new QLabel(QStringLiteral("Unidade de cirurgia"), unitBox);
    QFont big = unit->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.6);
    unit->setFont(big);
    ul->addWidget(unit);
    v->addWidget(unitBox);

    auto *areaBox = new QGroupBox(QStringLiteral("Selecionar áreas de abrangência para disposnibilização de vagas na web."), this);
    auto *al = new QVBoxLayout(areaBox);
    m_distrito = new QComboBox(areaBox);
    m_distrito->setObjectName(QStringLiteral("cbbDistrito"));
    m_distrito->addItems(districtEntries());
    m_distrito->setPlaceholderText(QStringLiteral("Selecionar..."));
    m_distrito->setCurrentIndex(-1);
    auto *row = new QHBoxLayout;
    row->addWidget(FormHelpers::caption(QStringLiteral("Distrrito Sanitário:"), m_distrito, areaBox));
    row->addWidget(m_distrito, 1);
    al->addLayout(row);
    m_todos = new QCheckBox(QStringLiteral("Selecionar todos"), areaBox);
    m_todos->setObjectName(QStringLiteral("chkTodos"));
    al->addWidget(m_todos);
    m_list = new QListWidget(areaBox);
    m_list->setObjectName(QStringLiteral("lstAreas"));
    m_list->setAccessibleName(QStringLiteral("Áreas de abrangência"));
    m_list->setSortingEnabled(true);
    al->addWidget(m_list, 1);
    v->addWidget(areaBox, 1);

    auto *buttons = new ButtonRow(this);
    buttons->stretch();
    auto *cancel = buttons->add(QStringLiteral("&Cancelar"), QStringLiteral("btnCancelarAreas"));
    auto *ok = buttons->add(QStringLiteral("Conclu&ir"), QStringLiteral("btnConcluir"));
    v->addLayout(buttons);

    connect(m_distrito, &QComboBox::textActivated, this, [this](const QString &t) { chooseDistrict(t); });
    connect(m_todos, &QCheckBox::clicked, this, [this](bool on) {
        for (int i = 0; i < m_list->count(); ++i)
            m_list->item(i)->setCheckState(on ? Qt::Checked : Qt::Unchecked);
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::close);
    connect(ok, &QPushButton::clicked, this, [this] {
        emit concluded(checkedCodes());
        close();
    });
    resize(520, 480);
}

void VagasAreaAbrangenciaScreen::chooseDistrict(const QString &entry)
{
    const QStringList entries = districtEntries();
    const int code = entries.indexOf(entry); // 1..9 for a district, 0 or -1 for every area
    QString sql = QStringLiteral("select COD_AREA_ABRN, DES_AREA_ABRN, COD_DITR_SANI from %1 where SIT_REGT = 'A'")
                      .arg(m_c.dialect().addressTable(QStringLiteral("AreaAbrang")));
    QVariantMap p;
    if (code > 0) {
        sql += QStringLiteral(" and COD_DITR_SANI = :d");
        p.insert(QStringLiteral("d"), code);
    }
    m_list->clear();
    m_todos->setChecked(false);
    try {
        QSqlQuery q = Sql::exec(m_c, sql, p);
        while (q.next()) {
            const int district = q.value(2).toInt();
            const QString districtText = district >= 1 && district <= 9 ? entries.at(district) : QString();
            auto *item = new QListWidgetItem(districtText + QStringLiteral(" - ") + Sql::text(q.value(0))
                                             + QStringLiteral(" - ") + Sql::text(q.value(1)));
            // The code travels as data, never parsed back from the text.
            item->setData(Qt::UserRole, q.value(0).toInt());
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            item->setCheckState(Qt::Unchecked);
            m_list->addItem(item);
        }
    } catch (const DbError &e) {
        FormHelpers::showError(e, this);
    }
}

QList<int> VagasAreaAbrangenciaScreen::checkedCodes() const
{
    QList<int> out;
    for (int i = 0; i < m_list->count(); ++i)
        if (m_list->item(i)->checkState() == Qt::Checked)
            out << m_list->item(i)->data(Qt::UserRole).toInt();
    return out;
}
