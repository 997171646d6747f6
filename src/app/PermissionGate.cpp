#include "app/PermissionGate.h"
#include "db/DataModule.h"
#include "db/DbError.h"
#include "db/Sql.h"

#include <QAction>
#include <QWidget>

namespace PermissionGate {
namespace {

int profileNumber(const QString &idPerfil)
{
    bool ok = false;
    const int id = idPerfil.trimmed().toInt(&ok);
    if (!ok)
        throw DbError(QStringLiteral("Perfil de usuário inválido: \"%1\".").arg(idPerfil));
    return id;
}

void setShown(QWidget *screen, const QStringList &names, bool shown)
{
    for (const QString &name : names) {
        const QList<QObject *> found = screen->findChildren<QObject *>(name);
        for (QObject *o : found) {
            if (!shown) {
                refuse(o);
            } else if (auto *a = qobject_cast<QAction *>(o)) {
                a->setVisible(true);
            } else if (auto *w = qobject_cast<QWidget *>(o)) {
                w->setVisible(true);
            }
        }
    }
}

} // namespace

QSet<int> permittedTags(Connection &c, const QString &idPerfil)
{
    QSqlQuery q = Sql::exec(c,
                            QStringLiteral("select perfil_form.id_form, form.tag from form, perfil_form "
                                           "where form.id_form = perfil_form.id_form and perfil_form.id_perfil = :perfil"),
                            {{QStringLiteral("perfil"), profileNumber(idPerfil)}});
    QSet<int> tags;
    while (q.next())
        tags.insert(q.value(1).toInt()); // a form without a tag counts as tag 0
    return tags;
}

ScreenFlags readFlags(Connection &c, const QString &idPerfil, int idForm)
{
    QSqlQuery q = Sql::exec(c,
                            QStringLiteral("select id_perfil, id_form, visualizar, incluir, alterar, excluir, imprimir "
                                           "from perfil_form where id_perfil = :perfil and id_form = :form"),
                            {{QStringLiteral("perfil"), profileNumber(idPerfil)}, {QStringLiteral("form"), idForm}});
    ScreenFlags f;
    if (q.next()) {
        f.found = true;
        f.incluir = Sql::text(q, QStringLiteral("incluir"));
        f.alterar = Sql::text(q, QStringLiteral("alterar"));
        f.excluir = Sql::text(q, QStringLiteral("excluir"));
        f.imprimir = Sql::text(q, QStringLiteral("imprimir"));
    }
    return f;
}

void apply(QWidget *screen, const ScreenFlags &flags, const Menu::Refusals &refusals)
{
    if (!screen || !flags.found)
        return;
    const QString no = QStringLiteral("N");
    if (flags.incluir == no)
        setShown(screen, refusals.incluir, false);
    if (flags.alterar == no)
        setShown(screen, refusals.alterar, false);
    if (flags.excluir == no)
        setShown(screen, refusals.excluir, false);
    if (flags.imprimir == no)
        setShown(screen, refusals.imprimir, false);
    setShown(screen, refusals.shownWithRow, true);
}

void refuse(QObject *o)
{
    if (auto *a = qobject_cast<QAction *>(o)) {
        a->setVisible(false);
        a->setEnabled(false);
    } else if (auto *w = qobject_cast<QWidget *>(o)) {
        w->setVisible(false);
        w->setEnabled(false);
    }
    if (o)
        o->setProperty(refusedProperty(), true);
}

} // namespace PermissionGate
