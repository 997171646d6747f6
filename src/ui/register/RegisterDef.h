#pragma once
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>
#include <functional>

// What one register screen is: its table, key, fields and rules. The shared
// RegisterScreen does the rest (toolbar, tabs, states, saving, deleting,
// searching, sorting), so a reference table is a few dozen lines of this.
//
//   RegisterDef d;
//   d.formId = 10; d.caption = "010 - Especie de animal.";
//   d.table = "especie"; d.keyColumn = "Id_Especie";
//   d.fields = { keyField("Id_Especie"), text("Nome:", "Nome", 100).upper(),
//                memo("Descrição:", "Descricao", 250), statusCheck() };
//   d.defaults = {{"Ind_Status", "ATIVO"}};
//   d.usedBy = { {"animal", "Id_Especie", "O registro não pode ser excluído.\rExiste animal neste grupo."} };

// How a new row gets its key.
enum class KeySource {
    Program, // greatest key plus one, allocated inside the saving transaction
    Server   // the insert omits the key; the server assigns it
};

enum class EditorKind {
    Key,        // read-only, shaded; filled when saving
    Text,       // one line
    Memo,       // several lines; Enter breaks the line
    Check,      // a check box writing one of two words ("INATIVO"/"ATIVO", "SIM"/"NAO")
    Lookup,     // a drop-down of another table's rows, writing its key
    Choice,     // a drop-down of fixed words
    Date,       // a DateLineEdit: typed whole, shown dd/mm/yyyy, blank allowed
    Number      // decimal comma
};

// The rows a lookup offers: "select key, display[, hint] from table [where filter] order by display".
struct LookupDef {
    QString table;
    QString keyColumn;
    QString displayColumn;
    QString hintColumn;  // shown as the drop-down's hint once a row is picked
    QString filter;      // fixed condition (no values), e.g. "Ind_Status <> 'INATIVO'"
    bool upperText = false; // shown in upper case whatever the stored case
    QString orderColumn; // listed in this column's order (default: the display column)
};

struct FieldDef {
    EditorKind kind = EditorKind::Text;
    QString caption;       // "Nome:"; a check box's own text
    QString column;
    QString objectName;    // "dbeNome"; derived from the column when empty
    int maxLength = 0;
    QString inputMask;     // Qt input mask
    bool upperCase = false;
    bool lowerCase = false; // e-mail addresses
    bool readOnly = false;
    QString checkedValue;  // Check
    QString uncheckedValue;
    QStringList choices;   // Choice
    LookupDef lookup;      // Lookup
    int width = 0;         // editor width in pixels (0: the layout decides)
    bool wholeNumber = false; // Number: digits only, written as an integer
    bool blankEntry = false;  // drop-downs: an empty first line, "nothing chosen", that can be picked
    bool greyWhenLocked = false; // drop-downs: disabled, not read-only, while the record is not typed

    // Chainable refinements.
    FieldDef &upper() { upperCase = true; lowerCase = false; return *this; }
    FieldDef &lower() { lowerCase = true; upperCase = false; return *this; }
    FieldDef &keepCase() { upperCase = lowerCase = false; return *this; }
    FieldDef &mask(const QString &m) { inputMask = m; return *this; }
    FieldDef &readOnlyField() { readOnly = true; return *this; }
    FieldDef &name(const QString &n) { objectName = n; return *this; }
    FieldDef &hint(const QString &column) { lookup.hintColumn = column; return *this; }
    FieldDef &widthPx(int w) { width = w; return *this; }
    FieldDef &withBlank() { blankEntry = true; return *this; }
    FieldDef &greyedWhenLocked() { greyWhenLocked = true; return *this; }
};

FieldDef keyField(const QString &column, const QString &caption = QStringLiteral("Código:"));
FieldDef text(const QString &caption, const QString &column, int maxLength = 0);
FieldDef memo(const QString &caption, const QString &column, int maxLength = 0);
// "Registro inativo." on Ind_Status: ticked writes 'INATIVO', unticked 'ATIVO'.
FieldDef statusCheck(const QString &column = QStringLiteral("Ind_Status"),
                     const QString &caption = QStringLiteral("Registro inativo."));
// A yes/no column: ticked writes 'SIM', unticked 'NAO'.
FieldDef yesNoCheck(const QString &caption, const QString &column);
FieldDef lookupField(const QString &caption, const QString &column, const LookupDef &lookup);
FieldDef choice(const QString &caption, const QString &column, const QStringList &items);
FieldDef dateField(const QString &caption, const QString &column);
FieldDef numberField(const QString &caption, const QString &column);
// An integer column: only digits (and a leading minus) can be typed.
FieldDef integerField(const QString &caption, const QString &column);

// A column of a list grid. `column` is a real column of the table; a lookup
// column shows another table's display text for the key in `column`.
struct GridColumn {
    QString title;
    QString column;
    int width = 0;
    LookupDef lookup;    // set: computed display text
    // A lookup column sorts by the key it shows (else it cannot be sorted).
    bool sortByKey = false;

    bool isLookup() const { return !lookup.table.isEmpty(); }
    GridColumn &sortedByKey() { sortByKey = true; return *this; }
};

GridColumn gridColumn(const QString &title, const QString &column, int width = 0);
GridColumn gridLookup(const QString &title, const QString &column, const LookupDef &lookup, int width = 0);

// The values of the record being saved, by column (as the descriptor spells it).
using Record = QVariantMap;

// One validation before saving; at the first failure its message is shown
// and the focus goes to the field of `column`.
struct Check {
    QString column;
    QString message;
    std::function<bool(const Record &)> ok;
};
// Refused when the field is blank after trimming (or no lookup row is picked).
Check required(const QString &column, const QString &message);
Check check(const QString &column, const QString &message, std::function<bool(const Record &)> ok);

// Refuses a second row with the same value(s); compared after folding case
// and accents. `condition` is a fixed extra condition ("Ind_Status = 'ATIVO'").
struct UniqueCheck {
    QStringList columns;
    QString message;
    bool onInsertOnly = false;
    QString condition;
};

// A table whose rows refer to this one: a row there refuses the deletion.
struct UsageCheck {
    QString table;
    QString column;
    QString message;
};

// How the search window matches the text.
enum class Match {
    Equals,   // the whole value (a code)
    Prefix    // the value begins with the text, case and accents ignored
};

struct SearchCriterion {
    QString caption; // "Código", "Nome"
    QString column;
    Match match = Match::Prefix;
};

// A search window. The picked row's key is handed to whoever opened it.
struct SearchDef {
    QString title = QStringLiteral("Pesquisa");
    QString objectName = QStringLiteral("frmPesquisa");
    QString table;
    QString keyColumn;
    QList<GridColumn> columns;
    QList<SearchCriterion> criteria;
    int initialCriterion = -1;
    QString searchCaption = QStringLiteral("&Pesquisar");
    QString okCaption = QStringLiteral("&OK");
    // Shown when no criterion is chosen or the text is blank; empty: the
    // search does nothing (criterion) or searches with the blank text.
    QString noCriterionMessage;
    QString noTextMessage;
    bool upperCaseText = true;
    bool loadAllWhenShown = false;
    bool followCurrentRow = false;  // the opener shows the row under the cursor at once
    bool locateWhileTyping = false; // each keystroke moves to the first matching row
    bool closeOnOk = true;
    bool sortable = false;
    QString nothingPickedMessage;   // OK with no row; empty: nothing is said
    QString countSuffix = QStringLiteral(" registros encontrado.");

    bool isEmpty() const { return criteria.isEmpty(); }
};

// The audit columns (spelling varies between tables; the database ignores case).
struct AuditColumns {
    bool enabled = true;
    QString insertedBy = QStringLiteral("Inserido_Por");
    QString insertedAt = QStringLiteral("Inserido_Em");
    QString modifiedBy = QStringLiteral("Modificado_Por");
    QString modifiedAt = QStringLiteral("Modificado_Em");
};

// Rows of another table that belong to a row of this one and go with it,
// deleted in the same transaction (nobody else may inherit them).
struct ChildRows {
    QString table;
    QString column;
};

struct RegisterDef {
    int formId = 0;
    QString caption;       // "016 - Cadastro de Medicamento"
    QString objectName;    // "frmMedicamento"
    QString table;
    QString keyColumn;
    KeySource keySource = KeySource::Program;
    QList<FieldDef> fields;
    QList<GridColumn> grid;   // empty: derived from the fields
    Record defaults;          // set by "Novo"
    QString focusOnNew;       // column focused by "Novo" (default: first editable field)
    QList<Check> checks;      // in order
    QList<UniqueCheck> unique;
    QList<UsageCheck> usedBy; // in order
    QList<ChildRows> deletedWith;
    // The question before deleting; `key` is the current key as text.
    std::function<QString(const QString &key)> confirmText;
    bool confirmDelete = true;
    // Shown instead of the database's text when the delete statement fails.
    QString deleteFailedMessage;
    // Fixed condition (no values) on every row the screen lists, e.g. the
    // staff users among all the accounts of a table.
    QString rowFilter;
    bool loadAllWhenShown = true;  // else the list starts empty
    bool editNeedsRow = false;     // "Alterar" on an empty list does nothing
    bool reloadAllAfterInsert = false; // and move to the last row
    bool reloadAllAfterEdit = false;   // every row again, the saved one current
    bool reloadAllAfterCancel = false; // every row again
    // Update and delete also require every column to still hold the value
    // read, so a row another workstation changed meanwhile is refused.
    bool optimisticConcurrency = false;
    AuditColumns audit;
    SearchDef search;
    int listReport = 0;       // screen number of the list report; 0: none
    bool sortable = false;
    bool ownWindow = false;   // a window of its own instead of a child window
    bool hasPrint = true;
    bool hasSearch = true;
    // One tab: the record above a splitter and the list below it, under this caption.
    bool listBelowRecord = false;
    QString listCaption;

    const FieldDef *field(const QString &column) const;
    // The grid to show: `grid`, or the key, the text and choice fields, the
    // lookups as computed columns, the status and the memo fields.
    QList<GridColumn> gridColumns() const;
};

// "O registro será excluído definitivamente.\rDeseja continuar?"
QString defaultConfirmText(const QString &key);
// "<prefix><key>\r deseje continuar?"
std::function<QString(const QString &)> confirmWithKey(const QString &prefix);
