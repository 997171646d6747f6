#pragma once
#include <QKeySequence>
#include <QList>

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
