#include "app/SobreScreen.h"
#include "app/DailyBackup.h"
#include "app/Product.h"
#include "db/DataModule.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QVBoxLayout>

QString SobreScreen::serverLine(const QString &parameterText)
{
    static const QString key = QStringLiteral("SERVER NAME=");
    const qsizetype at = parameterText.indexOf(key);
    // The window has always cut the name at 17 characters; a shorter name
    // ends at its line, not with the start of the next parameter.
    QString server = at < 0 ? QString() : parameterText.mid(at + key.size(), 17);
    const qsizetype end = server.indexOf(QRegularExpression(QStringLiteral("[\r\n]")));
    if (end >= 0)
        server.truncate(end);
    return QStringLiteral("Servidor ZAPO: ") + server;
}

SobreScreen::SobreScreen(const QString &parameterText, QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmSobre"));
    setWindowTitle(Product::title());

    auto *title = new QLabel(Product::title(), this);
    title->setObjectName(QStringLiteral("lblTitulo"));
    QFont big = title->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.3);
    title->setFont(big);
    auto *text = new QPlainTextEdit(this);
    text->setObjectName(QStringLiteral("memTexto"));
    text->setReadOnly(true);
    text->clear();
    auto *version = new QLabel(Product::versionCaption(), this);
    version->setObjectName(QStringLiteral("lblVersao"));
    auto *newVersion = new QLabel(Product::newVersionCaption(), this);
    newVersion->setObjectName(QStringLiteral("lblVersaoNova"));
    m_server = new QLabel(serverLine(parameterText), this);
    m_server->setObjectName(QStringLiteral("lblServidor"));

    auto *backup = new QLabel(DataModule::hasCurrent() ? DailyBackup::lastCopyLine(DataModule::current().spec()) : QString(), this);
    backup->setObjectName(QStringLiteral("lblCopiaSeguranca"));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(title);
    layout->addWidget(text, 1);
    layout->addWidget(version);
    layout->addWidget(newVersion);
    layout->addWidget(m_server);
    layout->addWidget(backup);
    resize(480, 300);
}
