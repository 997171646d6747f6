#pragma once
#include <QKeySequence>
#include <QList>
#include <QString>
#include <QStyle>

// The keys of the record commands, the same on every register toolbar.
enum class RecordCommand { Novo, Alterar, Excluir, Atualizar, Gravar, Cancelar, Primeiro, Anterior, Proximo, Ultimo };

inline QList<QKeySequence> recordKeys(RecordCommand c)
{
    switch (c) {
    case RecordCommand::Novo: return {QKeySequence(Qt::CTRL | Qt::Key_Insert)};
    case RecordCommand::Alterar: return {QKeySequence(Qt::CTRL | Qt::Key_A)};
    case RecordCommand::Excluir: return {QKeySequence(Qt::CTRL | Qt::Key_Delete)};
    case RecordCommand::Atualizar: return {QKeySequence(Qt::CTRL | Qt::Key_F5)};
    // Enter of the main keyboard and of the keypad.
    case RecordCommand::Gravar:
        return {QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_Enter)};
    case RecordCommand::Cancelar: return {QKeySequence(Qt::CTRL | Qt::Key_Backspace)};
    case RecordCommand::Primeiro: return {QKeySequence(Qt::CTRL | Qt::Key_Home)};
    case RecordCommand::Anterior: return {QKeySequence(Qt::CTRL | Qt::Key_Left)};
    case RecordCommand::Proximo: return {QKeySequence(Qt::CTRL | Qt::Key_Right)};
    case RecordCommand::Ultimo: return {QKeySequence(Qt::CTRL | Qt::Key_End)};
    }
    return {};
}

// The icon a toolbar shows beside a command's caption ("Novo", "Gravar",
// "Imprimir...", "Sair", ...), the same on every screen's toolbar;
// QStyle::SP_CustomBase for a caption that has none.
inline QStyle::StandardPixmap toolbarIcon(const QString &caption)
{
    static const QList<std::pair<QString, QStyle::StandardPixmap>> icons = {
        {QStringLiteral("Novo"), QStyle::SP_FileIcon},
        {QStringLiteral("Alterar"), QStyle::SP_FileDialogDetailedView},
        {QStringLiteral("Excluir"), QStyle::SP_TrashIcon},
        {QStringLiteral("Atualizar"), QStyle::SP_BrowserReload},
        {QStringLiteral("Gravar"), QStyle::SP_DialogSaveButton},
        {QStringLiteral("Cancelar"), QStyle::SP_DialogCancelButton},
        {QStringLiteral("Primeiro"), QStyle::SP_MediaSkipBackward},
        {QStringLiteral("Anterior"), QStyle::SP_MediaSeekBackward},
        {QStringLiteral("Próximo"), QStyle::SP_MediaSeekForward},
        {QStringLiteral("Último"), QStyle::SP_MediaSkipForward},
        {QStringLiteral("Imprimir..."), QStyle::SP_FileDialogContentsView},
        {QStringLiteral("Pesquisar"), QStyle::SP_FileDialogInfoView},
        {QStringLiteral("Sair"), QStyle::SP_DialogCloseButton},
    };
    for (const auto &i : icons)
        if (i.first == caption)
            return i.second;
    return QStyle::SP_CustomBase;
}
