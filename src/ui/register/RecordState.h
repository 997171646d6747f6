#pragma once
#include <optional>

// Where a register screen's record stands, and which actions that allows.
// Every enabling rule of the toolbar lives here, in one place.
enum class RecordMode { Browse, Insert, Edit };

struct RecordState {
    RecordMode mode = RecordMode::Browse;
    int row = -1;          // current row of the list, -1 for none
    int rowCount = 0;
    bool ready = true;     // false while the screen has no table to work on
    bool editNeedsRow = false;
    // Screens that show one record at a time rather than a list say whether
    // one is shown; Alterar and Excluir need it, whatever the position.
    std::optional<bool> recordShown;
    // Novo, Excluir and Atualizar also wait until the record being typed is
    // saved or cancelled.
    bool oneThingAtATime = false;

    bool editing() const { return mode != RecordMode::Browse; }

    bool canAppend() const { return ready && (!oneThingAtATime || !editing()); }
    // On an empty list "Alterar" starts a new record, unless the screen needs a row.
    bool canEdit() const
    {
        return ready && mode == RecordMode::Browse && (recordShown ? *recordShown : row >= 0 || !editNeedsRow);
    }
    // A record not yet saved has nothing to delete.
    bool canDelete() const
    {
        return ready && (oneThingAtATime ? !editing() : mode != RecordMode::Insert)
               && (recordShown ? *recordShown : row >= 0 && rowCount > 0);
    }
    bool canRefresh() const { return ready && (!oneThingAtATime || !editing()); }
    bool canPost() const { return ready && editing(); }
    bool canCancel() const { return ready && editing(); }
    // Moving to another row while a record is being typed would either lose
    // the typing or save it without stamps; navigation waits for Gravar/Cancelar.
    bool canGoBack() const { return mode == RecordMode::Browse && row > 0; }
    bool canGoForward() const { return mode == RecordMode::Browse && row >= 0 && row < rowCount - 1; }
};
