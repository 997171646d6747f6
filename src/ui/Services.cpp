#include "ui/Services.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace {

QString boxText(QString text)
{
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
}

QWidget *parentOr(QWidget *p)
{
    return p ? p : QApplication::activeWindow();
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
        box.exec();
        return box.clickedButton() == yes;
    }

private:
    void show(QMessageBox::Icon icon, const QString &title, const QString &text, QWidget *parent)
    {
        QMessageBox box(icon, title, boxText(text), QMessageBox::Ok, parentOr(parent));
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

} // namespace

namespace Services {

Messages &widgetMessages()
{
    static WidgetMessages m;
    return m;
}

Messages &messages()
{
    return g_messages ? *g_messages : widgetMessages();
}

FileDialogs &fileDialogs()
{
    static WidgetFileDialogs f;
    return g_files ? *g_files : f;
}

void setMessages(Messages *m) { g_messages = m; }
void setFileDialogs(FileDialogs *f) { g_files = f; }

} // namespace Services
