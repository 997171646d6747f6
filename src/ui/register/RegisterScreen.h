#pragma once
#include "ui/register/RecordState.h"
#include "ui/register/RegisterDef.h"

#include <QPointer>
#include <QWidget>
#include <memory>
#include <vector>

class Connection;
class FieldBinder;
class PagedQueryModel;
class QAction;
class QLabel;
class QStatusBar;
class QTabWidget;
class QTableView;
class QToolBar;
class QVBoxLayout;
class QGridLayout;
class SearchWindow;

// The one register screen: a child window with the toolbar of data-set
// actions, the record tab "Principal" and the list tab "Geral", driven by a
// RegisterDef. Browse, insert and edit states; keys allocated when saving;
// audit stamps from the server clock; each save in its own transaction.
//
// Screens that need a little more subclass it and override the hooks below;
// screens that are shaped differently compose FieldBinder, PagedQueryModel
// and SearchWindow themselves.
class RegisterScreen : public QWidget {
    Q_OBJECT
public:
    // `connection` defaults to the current data module's main connection.
    explicit RegisterScreen(const RegisterDef &def, QWidget *parent = nullptr, Connection *connection = nullptr);
    ~RegisterScreen() override;

    const RegisterDef &definition() const { return m_def; }
    Connection &connection() const { return *m_conn; }
    RecordMode mode() const { return m_state.mode; }
    RecordState state() const;

    // The toolbar's actions, also reachable by object name ("actAppend").
    QAction *actAppend, *actEdit, *actDelete, *actRefresh, *actPost, *actCancel, *actFirst, *actPrior,
        *actNext, *actLast, *actPrint, *actPesquisar, *actSair;

    QTabWidget *tabs() const { return m_tabs; }
    QTableView *grid() const { return m_grid; }
    PagedQueryModel *model() const { return m_model; }
    QToolBar *toolBar() const { return m_toolBar; }
    QStatusBar *statusBar() const { return m_statusBar; }
    FieldBinder *binder(const QString &column) const;
    int currentRow() const;
    QVariant currentKey() const;
    // The stored values of the current row as last read (raw, untrimmed).
    const Record &storedRecord() const { return m_stored; }

    // Loads the list as the screen does when first shown (done by showEvent).
    void open();

public slots:
    void append();            // "Novo"
    void edit();              // "Alterar"
    bool post();              // "Gravar": true when saved
    void cancel();            // "Cancelar"
    void refresh();           // "Atualizar": every row
    bool remove();            // "Excluir": true when deleted
    void first();
    void prior();
    void next();
    void last();
    void print();             // "Imprimir..."
    void search();            // "Pesquisar"
    void leave();             // "Sair"
    // The list becomes the one row with this key (what a search window picks).
    void showKey(const QVariant &key);
    // Sorts the list by a grid column, if the screen sorts and the column is real.
    void sortByColumn(int column);
    void setCurrentRow(int row);

signals:
    void recordSaved(const QVariant &key, bool inserted);
    void recordDeleted(const QVariant &key);

protected:
    // Extra validation after the descriptor's checks; show the message yourself.
    virtual bool validate(const Record &values);
    // Inside the saving transaction, just before the insert or update
    // (stamps and program key already in `values`).
    virtual void beforeWrite(Record &values, bool inserting, Connection &c);
    // Inside the saving transaction, after the row was written.
    virtual void afterWrite(const QVariant &key, bool inserting, Connection &c);
    // After the usage checks, before the confirmation; say why yourself.
    virtual bool mayDelete(const QVariant &key);
    // Inside the deleting transaction, before the row is deleted (child rows).
    virtual void beforeDelete(const QVariant &key, Connection &c);
    // After the record tab shows another row (or a new record).
    virtual void recordShown() {}
    // After the toolbar's enabling was recomputed (the mode may have changed).
    virtual void stateChanged() {}

    // Replaces the descriptor (same toolbar, new table and fields).
    void setDefinition(const RegisterDef &def);
    // False: no table to work on; data-set actions do nothing.
    void setReady(bool ready);
    // The layout of the record tab above the fields, for extra controls.
    QVBoxLayout *recordTop() const { return m_recordTop; }
    void updateActions();
    // With the list below the record: gives the record the height its fields need.
    void fitRecordAboveList();
    void showEvent(QShowEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildActions();
    void buildFields();
    void configureModel();
    void reloadLookups();
    void loadList(const QString &condition, const QVariantMap &params = {});
    void loadCurrentRecord();
    void showRecord(const Record &values);
    void setEditable(bool on);
    void focusFirstEditable();
    Record collect() const;
    QStringList recordColumns() const;
    QString keyText() const;
    // Why a save was refused, shown once the transaction is rolled back.
    struct Refusal {
        QString message;
        QString column; // focused afterwards
    };
    bool writeRecord(Record &values, QVariant &key, Refusal &refusal);
    // False (and why) when a text is longer than its column holds.
    bool fitsColumns(const Record &values, Refusal &refusal) const;
    QString rowIdentity(const Record &old, QVariantMap &params) const;
    void currentRowChanged();

    RegisterDef m_def;
    Connection *m_conn;
    RecordState m_state;
    bool m_applyRowFilter = true; // off while showing a searched key
    Record m_stored;
    bool m_opened = false;

    QToolBar *m_toolBar = nullptr;
    QTabWidget *m_tabs = nullptr;
    QWidget *m_recordPage = nullptr;
    QVBoxLayout *m_recordTop = nullptr;
    QWidget *m_fieldsBox = nullptr;
    QTableView *m_grid = nullptr;
    QLabel *m_listCaption = nullptr;
    class QSplitter *m_splitter = nullptr;
    PagedQueryModel *m_model = nullptr;
    QStatusBar *m_statusBar = nullptr;
    std::vector<std::unique_ptr<FieldBinder>> m_binders;
    QPointer<SearchWindow> m_search;
};
