#pragma once
#include "scheduling/SlotStore.h"
#include "scheduling/VagasAreaAbrangenciaScreen.h"

#include <QList>
#include <QPointer>
#include <QWidget>
#include <memory>

class Connection;
class FieldBinder;
class HourEdit;
class QCalendarWidget;
class QLabel;
class QLineEdit;
class QPushButton;
class QStandardItemModel;
class QTableView;
class QTabWidget;

// Screen 48: the surgery slots offered to the web booking service, day by
// day, with the special grants on a tab of their own.
class MapaDisponibilidadeScreen : public QWidget {
    Q_OBJECT
public:
    explicit MapaDisponibilidadeScreen(Connection &c, QWidget *parent = nullptr);
    ~MapaDisponibilidadeScreen() override;

    // The edit mode: "", "novo", "alterar", "cancelar", "novoComArea".
    QString mode() const { return m_mode; }
    QList<int> selectedAreas() const { return m_areas; }
    // The slot of the grid's current row, if any.
    std::optional<Slot> currentSlot() const;
    QTableView *grid() const { return m_grid; }
    // The coverage-area dialog while it is open.
    VagasAreaAbrangenciaScreen *areaDialog() const { return m_areaDialog; }

    // Runs the day filter for the calendar's day (what a calendar click does).
    void showDay(const QDate &d);
    void refresh();

    // What the area dialog's "Concluir" hands over; ignored unless a new slot
    // is being typed.
    void areasChosen(const QList<int> &codes);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *buildPrincipal();
    QWidget *buildMailTab();
    void dayFilter();
    void rowSelected(int row);
    void showSlot(const Slot &s);
    void clearFields();
    void setFieldsEditable(bool on, bool hourEditable);
    void setButtons(bool idle);
    void novaVaga();
    void alterar();
    void gravar();
    bool checkCounts();
    void excluir();
    void cancelar();
    void finishEdit();
    void openAreas();
    void openClone();
    void openInformacao();
    void openRascunho();
    bool leaveCount(QLineEdit *e);
    bool leaveHour();
    QString status() const;
    void setStatus(const QString &text);

    Connection &m_c;
    SlotStore m_store;
    QString m_mode;
    QList<int> m_areas;
    QList<Slot> m_rows;
    Slot m_editing; // the row an alteration started from
    bool m_loading = false;

    QTabWidget *m_tabs = nullptr;
    std::unique_ptr<FieldBinder> m_unidade, m_procedimento, m_especie;
    QCalendarWidget *m_calendar = nullptr;
    QPushButton *m_areasButton = nullptr;
    QLabel *m_resumo = nullptr;
    QPushButton *m_nova = nullptr, *m_alterar = nullptr, *m_gravar = nullptr, *m_excluir = nullptr,
                *m_cancelar = nullptr;
    HourEdit *m_hora = nullptr;
    QLineEdit *m_geral = nullptr, *m_femea = nullptr;
    QStandardItemModel *m_model = nullptr;
    QTableView *m_grid = nullptr;
    QList<QLabel *> m_panels;
    QPointer<VagasAreaAbrangenciaScreen> m_areaDialog;
};
