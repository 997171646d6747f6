#include "app/GuardedApplication.h"
#include "db/DbError.h"
#include "ui/Services.h"

#include <QLoggingCategory>
#include <QWidget>
#include <exception>

Q_LOGGING_CATEGORY(lcGuard, "zapo.guard")

GuardedApplication::GuardedApplication(int &argc, char **argv) : QApplication(argc, argv) {}

bool GuardedApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &e) {
        report(&e);
    } catch (...) {
        report(nullptr);
    }
    return false;
}

void GuardedApplication::report(const std::exception *e)
{
    const auto *db = dynamic_cast<const DbError *>(e);
    if (db)
        qCWarning(lcGuard).noquote() << "unhandled database error:" << db->text()
                                     << (db->driverText().isEmpty() ? QString() : QStringLiteral("| driver: ") + db->driverText())
                                     << (db->statement().isEmpty() ? QString() : QStringLiteral("| ") + db->statement());
    else
        qCWarning(lcGuard).noquote() << "unhandled exception:" << (e ? QString::fromLocal8Bit(e->what()) : QStringLiteral("unknown"));
    static const std::runtime_error unknown("unknown");
    QWidget *over = QApplication::activeModalWidget();
    if (!over)
        over = QApplication::activeWindow();
    Services::messages().error(DbError::standardText(e ? *e : unknown), over);
}
