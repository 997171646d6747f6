#include "ui/Services.h"
#include "db/Reconnect.h"
#include "ui/FocusFlow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace {

QString boxText(QString text)
{
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
}

// With no form named, the active window; failing that (no window manager
// has activated one yet) the first window shown, so that a box never
// stands alone in a corner of the screen.
QWidget *parentOr(QWidget *p)
{
    if (p)
        return p;
    if (QWidget *w = QApplication::activeWindow())
        return w;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->windowType() == Qt::Window)
            return w;
    return nullptr;
}

// Boxes stand over the middle of the form they speak about.
void placeOver(QMessageBox &box)
{
    box.adjustSize();
    FocusFlow::centreOn(&box, box.parentWidget());
}

class WidgetMessages : public Messages {
public:
    void information(const QString &text, QWidget *parent) override
    {
        show(QMessageBox::Information, QStringLiteral("Informação"), text, parent);
    }
    void warning(const QString &text, QWidget *parent) override
    {
        show(QMessageBox::Warning, QStringLiteral("Aviso"), text, parent);
    }
    void error(const QString &text, QWidget *parent) override
    {
        show(QMessageBox::Critical, QStringLiteral("Erro"), text, parent);
    }
    bool confirm(const QString &text, QWidget *parent) override
    {
        QMessageBox box(QMessageBox::Question, QStringLiteral("Confirmação"), boxText(text),
                        QMessageBox::NoButton, parentOr(parent));
        QPushButton *yes = box.addButton(QStringLiteral("&Sim"), QMessageBox::YesRole);
        QPushButton *no = box.addButton(QStringLiteral("&Não"), QMessageBox::NoRole);
        box.setDefaultButton(no);
        placeOver(box);
        box.exec();
        return box.clickedButton() == yes;
    }

private:
    void show(QMessageBox::Icon icon, const QString &title, const QString &text, QWidget *parent)
    {
        QMessageBox box(icon, title, boxText(text), QMessageBox::Ok, parentOr(parent));
        placeOver(box);
        box.exec();
    }
};

class WidgetFileDialogs : public FileDialogs {
public:
    QString saveFileName(const QString &caption, const QString &suggested, const QString &filter,
                         QWidget *parent) override
    {
        return QFileDialog::getSaveFileName(parentOr(parent), caption, suggested, filter);
    }
    QString openFileName(const QString &caption, const QString &filter, QWidget *parent) override
    {
        return QFileDialog::getOpenFileName(parentOr(parent), caption, QString(), filter);
    }
};

Messages *g_messages = nullptr;
FileDialogs *g_files = nullptr;

// With the server gone, every later step of the same action fails the same
// way: the first box says so, the boxes that would follow it at once are
// left out. Questions always reach the user.
class OnceForLostConnection : public Messages {
public:
    void information(const QString &text, QWidget *parent) override
    {
        if (!pass(text))
            return;
        target().information(text, parent);
        shown(text);
    }
    void warning(const QString &text, QWidget *parent) override
    {
        if (!pass(text))
            return;
        target().warning(text, parent);
        shown(text);
    }
    void error(const QString &text, QWidget *parent) override
    {
        if (!pass(text))
            return;
        target().error(text, parent);
        shown(text);
    }
    bool confirm(const QString &text, QWidget *parent) override { return target().confirm(text, parent); }

private:
    static Messages &target() { return g_messages ? *g_messages : Services::widgetMessages(); }
    static bool aboutLostConnection(const QString &text)
    {
        return text.contains(Reconnect::lostReadText()) || text.contains(Reconnect::lostWriteText());
    }
    bool pass(const QString &text) const
    {
        return !aboutLostConnection(text) || !m_sinceLost.isValid() || m_sinceLost.elapsed() > 2000;
    }
    // Counted from the moment the box closed.
    void shown(const QString &text)
    {
        if (aboutLostConnection(text))
            m_sinceLost.start();
    }
    QElapsedTimer m_sinceLost;
};

} // namespace

namespace Services {

Messages &widgetMessages()
{
    static WidgetMessages m;
    return m;
}

Messages &messages()
{
    static OnceForLostConnection once;
    return once;
}

FileDialogs &fileDialogs()
{
    static WidgetFileDialogs f;
    return g_files ? *g_files : f;
}

void setMessages(Messages *m) { g_messages = m; }
void setFileDialogs(FileDialogs *f) { g_files = f; }

} // namespace Services
