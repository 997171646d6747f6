#include "registry/UnificaProprietarioScreen.h"
#include "db/DbError.h"
#include "registry/OwnerWindows.h"
#include "ui/Buttons.h"
#include "ui/FormHelpers.h"
#include "ui/Services.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QVBoxLayout>

namespace {

QString describe(const OwnerPicture &o)
{
    QStringList l;
    auto line = [&](const QString &caption, const QString &value) {
        l << caption + QStringLiteral(" ") + (value.isEmpty() ? QStringLiteral("-") : value);
    };
    line(QStringLiteral("Nome:"), o.nome);
    line(QStringLiteral("Situação:"), o.active ? QStringLiteral("ATIVO") : QStringLiteral("INATIVO"));
    l << QString() << QStringLiteral("Documentos");
    line(QStringLiteral("  Tipo pessoa:"), o.tipoPessoa);
    line(QStringLiteral("  CPF / CNPJ:"), o.cpfCnpj);
    line(QStringLiteral("  Identidade:"), o.ci);
    l << QString() << QStringLiteral("Contatos");
    line(QStringLiteral("  Telefone residencial:"), o.telefoneResidencial);
    line(QStringLiteral("  Telefone celular:"), o.telefoneCelular);
    line(QStringLiteral("  Telefone recado:"), o.telefoneRecado);
    line(QStringLiteral("  E-mail:"), o.email);
    l << QString();
    line(QStringLiteral("Endereço:"), o.endereco);
    auto list = [&](const QString &title, const QStringList &items) {
        l << QString() << QStringLiteral("%1 (%2)").arg(title).arg(items.size());
        for (const QString &i : items)
            l << QStringLiteral("  ") + i;
    };
    list(QStringLiteral("Animais"), o.animals);
    list(QStringLiteral("Atendimentos"), o.appointments);
    list(QStringLiteral("Agendamentos especiais"), o.grants);
    l << QString();
    line(QStringLiteral("Conta web:"), o.webAccount);
    return l.join(QLatin1Char('\n'));
}

} // namespace

UnificaProprietarioScreen::UnificaProprietarioScreen(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmUnificaProprietario"));
    setWindowTitle(QStringLiteral("061 - Unificar proprietários."));
    m_kept = buildSide(QStringLiteral("Proprietário que fica:"), QStringLiteral("Localizar proprietário que fica..."), 1);
    m_duplicate = buildSide(QStringLiteral("Proprietário duplicado:"), QStringLiteral("Localizar proprietário duplicado..."), 2);
    auto *sides = new QHBoxLayout;
    sides->addWidget(m_kept.group, 1);
    sides->addWidget(m_duplicate.group, 1);

    m_fieldGroup = new QGroupBox(QStringLiteral("Campos vazios do proprietário que fica a preencher com os do duplicado:"), this);
    m_fieldGroup->setObjectName(QStringLiteral("grpCampos"));
    m_fieldLayout = new QVBoxLayout(m_fieldGroup);
    auto *none = new QLabel(QStringLiteral("Nenhum."), m_fieldGroup);
    none->setObjectName(QStringLiteral("lblNenhumCampo"));
    m_fieldLayout->addWidget(none);

    auto *note = new QLabel(QStringLiteral("Animais, atendimentos, agendamentos especiais e histórico de transferências "
                                           "passam para o proprietário que fica. O duplicado fica inativo e sua conta web "
                                           "bloqueada; a unificação fica registrada."),
                            this);
    note->setWordWrap(true);

    auto *buttons = new ButtonRow(this);
    buttons->stretch();
    buttons->add(QStringLiteral("&Limpar"), QStringLiteral("bmpLimpar"), this, &UnificaProprietarioScreen::limpar);
    buttons->add(QStringLiteral("&Unificar"), QStringLiteral("bmpUnificar"), this, &UnificaProprietarioScreen::unificar);
    buttons->add(QStringLiteral("&Sair"), QStringLiteral("bmpSair"), this, &QWidget::close);

    auto *main = new QVBoxLayout(this);
    main->addLayout(sides, 1);
    main->addWidget(m_fieldGroup);
    main->addWidget(note);
    main->addLayout(buttons);
    resize(980, 620);
}

UnificaProprietarioScreen::Side UnificaProprietarioScreen::buildSide(const QString &title, const QString &findCaption, int target)
{
    Side s;
    const QString n = QString::number(target);
    s.group = new QGroupBox(title, this);
    s.group->setObjectName(QStringLiteral("grpProprietario") + n);
    auto *find = commandButton(findCaption, QStringLiteral("bmpLocalizar") + n, s.group);
    find->setFlat(true);
    connect(find, &QPushButton::clicked, this, [this, target] { localizar(target); });
    s.code = new QLineEdit(s.group);
    s.code->setObjectName(QStringLiteral("edtCodigo") + n);
    s.code->setReadOnly(true);
    FormHelpers::readOnlyGrey(s.code);
    s.text = new QPlainTextEdit(s.group);
    s.text->setObjectName(QStringLiteral("memProprietario") + n);
    s.text->setReadOnly(true);
    s.text->setLineWrapMode(QPlainTextEdit::NoWrap);
    auto *row = new QHBoxLayout;
    row->addWidget(FormHelpers::caption(QStringLiteral("Código:"), s.code, s.group));
    row->addWidget(s.code);
    row->addStretch(1);
    auto *lay = new QVBoxLayout(s.group);
    lay->addWidget(find, 0, Qt::AlignLeft);
    lay->addLayout(row);
    lay->addWidget(s.text, 1);
    return s;
}

void UnificaProprietarioScreen::localizar(int target)
{
    auto *w = new OwnerSearchWindow(this, target);
    QPointer<UnificaProprietarioScreen> self(this);
    w->ownerChosen = [self](int t, int id, const QString &, const QString &) {
        if (self)
            self->showOwner(t, id);
    };
    w->show();
}

void UnificaProprietarioScreen::showOwner(int target, int idProprietario)
{
    Side &s = side(target);
    try {
        s.picture = OwnerMergeStore().picture(idProprietario);
    } catch (const DbError &e) {
        Services::messages().error(e.text(), this);
        return;
    }
    if (!s.picture) {
        s.code->clear();
        s.text->clear();
        Services::messages().information(QStringLiteral("Proprietário não encontrado."), this);
    } else {
        s.code->setText(QString::number(idProprietario));
        s.text->setPlainText(describe(*s.picture));
    }
    refreshFields();
}

int UnificaProprietarioScreen::owner(int target) const
{
    const Side &s = side(target);
    return s.picture ? s.picture->id : 0;
}

QString UnificaProprietarioScreen::sideText(int target) const
{
    return side(target).text->toPlainText();
}

void UnificaProprietarioScreen::refreshFields()
{
    while (QLayoutItem *item = m_fieldLayout->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    m_fields.clear();
    QList<OwnerMerge::Field> fields;
    if (m_kept.picture && m_duplicate.picture && m_kept.picture->id != m_duplicate.picture->id)
        fields = OwnerMergeStore::fillable(*m_kept.picture, *m_duplicate.picture);
    if (fields.isEmpty()) {
        auto *none = new QLabel(QStringLiteral("Nenhum."), m_fieldGroup);
        none->setObjectName(QStringLiteral("lblNenhumCampo"));
        m_fieldLayout->addWidget(none);
        return;
    }
    for (const OwnerMerge::Field &f : fields) {
        auto *box = new QCheckBox(QStringLiteral("%1: %2").arg(f.caption, m_duplicate.picture->fieldText(f.column)), m_fieldGroup);
        box->setObjectName(QStringLiteral("chk") + f.column);
        box->setChecked(true); // an empty field taking the duplicate's value is what a merge is for
        m_fieldLayout->addWidget(box);
        m_fields.insert(f.column, box);
    }
}

void UnificaProprietarioScreen::limpar()
{
    for (int t : {1, 2}) {
        Side &s = side(t);
        s.picture.reset();
        s.code->clear();
        s.text->clear();
    }
    refreshFields();
}

void UnificaProprietarioScreen::unificar()
{
    const int kept = owner(1);
    const int duplicate = owner(2);
    OwnerMergeStore store;
    QString refused;
    try {
        refused = store.refusal(kept, duplicate);
    } catch (const DbError &e) {
        Services::messages().error(e.text(), this);
        return;
    }
    if (!refused.isEmpty()) {
        Services::messages().warning(refused, this);
        return;
    }
    const OwnerPicture &k = *m_kept.picture;
    const OwnerPicture &d = *m_duplicate.picture;
    if (!k.tipoPessoa.isEmpty() && !d.tipoPessoa.isEmpty() && k.tipoPessoa != d.tipoPessoa
        && !Services::messages().confirm(QStringLiteral("O proprietário que fica é %1 e o duplicado é %2.\r"
                                                        "Deseja unificar mesmo assim?")
                                             .arg(k.tipoPessoa, d.tipoPessoa),
                                         this))
        return;
    QStringList take;
    for (auto it = m_fields.cbegin(); it != m_fields.cend(); ++it)
        if (it.value()->isChecked())
            take << it.key();
    if (!Services::messages().confirm(QStringLiteral("Unificar o proprietário %1 - %2 no proprietário %3 - %4?\r"
                                                     "%5 animal(is), %6 atendimento(s) e %7 agendamento(s) especial(is) "
                                                     "passam para o proprietário que fica; o duplicado fica inativo e sua "
                                                     "conta web bloqueada.")
                                          .arg(d.id)
                                          .arg(d.nome)
                                          .arg(k.id)
                                          .arg(k.nome)
                                          .arg(d.animals.size())
                                          .arg(d.appointments.size())
                                          .arg(d.grants.size()),
                                      this))
        return;
    try {
        store.merge(kept, duplicate, take);
    } catch (const MergeRefused &e) {
        Services::messages().warning(e.text(), this);
        showOwner(1, kept);
        showOwner(2, duplicate);
        return;
    } catch (const DbError &e) {
        Services::messages().error(e.text(), this);
        return;
    }
    showOwner(1, kept);
    showOwner(2, duplicate);
    Services::messages().information(QStringLiteral("Operação realizada com sucesso!"), this);
}
