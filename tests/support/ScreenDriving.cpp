#include "support/ScreenDriving.h"

#include "ui/ScreenCatalog.h"
#include "ui/register/FieldBinder.h"

#include <QDir>
#include <QTest>

QWidget *screenHost()
{
    static QWidget *h = [] {
        auto *w = new QWidget;
        w->resize(900, 600);
        w->show();
        return w;
    }();
    return h;
}

std::unique_ptr<RegisterScreen> openRegisterScreen(int number)
{
    QWidget *w = ScreenCatalog::instance().open(number, screenHost());
    auto *s = qobject_cast<RegisterScreen *>(w);
    if (!s)
        delete w;
    if (s)
        s->setAttribute(Qt::WA_DeleteOnClose, false);
    return std::unique_ptr<RegisterScreen>(s);
}

QLineEdit *lineByCaption(QWidget *s, const QString &caption)
{
    return qobject_cast<QLineEdit *>(editorByCaption(s, caption));
}

bool typeInto(QWidget *s, const QString &caption, const QString &text)
{
    QLineEdit *e = lineByCaption(s, caption);
    if (!e)
        return false;
    e->clear();
    bool ascii = true;
    for (QChar c : text)
        ascii = ascii && c.unicode() < 0x80;
    if (ascii)
        QTest::keyClicks(e, text);
    else
        e->insert(text); // QTest types ASCII only; this still goes through the validator
    return true;
}

void shot(QWidget *w, const char *name)
{
    const QString dir = qEnvironmentVariable("ZAPO_SCREENSHOT_DIR");
    if (!dir.isEmpty())
        w->grab().save(QDir(dir).filePath(QString::fromLatin1(name) + QStringLiteral(".png")));
}
