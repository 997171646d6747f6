#pragma once
#include <QHash>
#include <QObject>
#include <QList>
#include <functional>

class IdNameCombo;
class QAction;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QStatusBar;
class QTabWidget;
class QTableWidget;
class QWidget;

// The attendance's professionals, procedures, medicines and prescriptions:
// four tabs of the attendance screen, always about its current attendance.
class ClinicalTabs : public QObject {
    Q_OBJECT
public:
    // `attendance` gives the current attendance's key (0: not saved yet);
    // `attendanceBusy` whether it is being typed.
    ClinicalTabs(QTabWidget *tabs, QStatusBar *status, std::function<int()> attendance,
                 std::function<bool()> attendanceBusy);

    // The lookups of procedure types and medicines (professionals are read
    // each time their tab is entered).
    void openLookups();
    // Shows the rows of an attendance (0: empty lists).
    void load(int idAtendimento);

    QTableWidget *professionals() const { return m_profGrid; }
    QTableWidget *procedures() const { return m_procGrid; }
    QTableWidget *medicines() const { return m_medGrid; }
    IdNameCombo *professionalLookup() const { return m_prof; }
    IdNameCombo *procedureLookup() const { return m_proc; }
    IdNameCombo *medicineLookup() const { return m_med; }
    IdNameCombo *weightLookup() const { return m_peso; }
    QLineEdit *quantity() const { return m_quant; }
    QPlainTextEdit *prescriptionText() const { return m_text; }
    QAction *action(const QString &objectName) const { return m_actions.value(objectName); }
    int prescriptionCount() const { return int(m_prescriptions.size()); }
    bool prescriptionEditing() const { return m_rxMode != 0; }

signals:
    // A prescription started or stopped being typed: the attendance list
    // must not move meanwhile.
    void editingChanged(bool editing);

public slots:
    void addProfessional();
    void removeProfessional();
    void addProcedure();
    void removeProcedure();
    void addMedicine();
    void removeMedicine();
    void reloadProfessionalLookup();
    // Prescription toolbar.
    void rxInsert();
    void rxEdit();
    void rxDelete();
    void rxRefresh();
    void rxPost();
    void rxCancel();
    void rxMove(int index);
    void rxPrint();
    void insertWeightText();
    void insertStandardText();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The texts by weight, read again each time the field is entered (019
    // may have added some meanwhile).
    void fillWeights();
    QWidget *buildProfessionals();
    QWidget *buildProcedures();
    QWidget *buildMedicines();
    QWidget *buildPrescriptions();
    void loadProfessionals();
    void loadProcedures();
    void loadMedicines();
    void loadPrescriptions(int selectKey = 0);
    void showPrescription();
    void updateRxActions();
    void medicineChosen();
    bool confirmRemoval();

    QTabWidget *m_tabs;
    QStatusBar *m_status;
    std::function<int()> m_attendance;
    std::function<bool()> m_busy;
    int m_id = 0;
    IdNameCombo *m_prof;
    IdNameCombo *m_proc;
    IdNameCombo *m_med;
    IdNameCombo *m_peso;
    QLabel *m_medida;
    QLineEdit *m_quant;
    QTableWidget *m_profGrid;
    QTableWidget *m_procGrid;
    QTableWidget *m_medGrid;
    QPlainTextEdit *m_text;
    QWidget *m_profPage = nullptr;
    QHash<QString, QAction *> m_actions;
    QList<int> m_prescriptions;
    int m_rxIndex = -1;
    int m_rxMode = 0; // 0 browsing, 1 new, 2 altering
};
