#pragma once
#include "mail/BackgroundMail.h"
#include "scheduling/AttendanceStore.h"
#include "ui/register/RecordState.h"

#include <QDate>
#include <QHash>
#include <QWidget>
#include <optional>

class ClinicalTabs;
class HourEdit;
class IdNameCombo;
class PagedQueryModel;
class QAction;
class QComboBox;
class QCompleter;
class DateEdit;
class QLineEdit;
class QRadioButton;
class QStandardItemModel;
class QStatusBar;
class QTabWidget;
class QTableWidget;

// "Novo atendimento.": books and alters attendances, sends the booking
// notice, prints the surgery authorization and holds the clinical tabs and
// the day's summary of a unit.
class AgendaNovoAtendimentoScreen : public QWidget {
    Q_OBJECT
public:
    // Reads the hand-over record: Origem 1 with an owner and an animal
    // starts a new attendance for them (`unitOfRegister`: the unit chosen on
    // the register that handed them over).
    explicit AgendaNovoAtendimentoScreen(QWidget *parent = nullptr, const QVariant &unitOfRegister = {});
    ~AgendaNovoAtendimentoScreen() override;

    // The list: one attendance, or every attendance (0).
    void openList(int idAtendimento);
    void setDate(const QDate &d);

    RecordState state() const { return m_state; }
    QVariant currentKey() const;
    std::optional<Atendimento> current() const { return m_current; }
    PagedQueryModel *listModel() const { return m_list; }
    QAction *action(const QString &objectName) const { return m_actions.value(objectName); }
    QStatusBar *statusBar() const { return m_status; }
    // "Enviando e-mail..." while the booking e-mail travels, then its outcome.
    QString mailState() const;
    QTabWidget *tabs() const { return m_tabs; }
    ClinicalTabs *clinical() const { return m_clinical; }
    // The owner by key (what choosing a name in "Proprietário:" does).
    void setOwner(const QVariant &idProprietario);

public slots:
    void novo();
    void alterar();
    void excluir();
    void atualizar();
    void gravar();
    void cancelar();
    void moveTo(int row);
    void reenviarEmail();
    void autorizaCirurgia();
    void receituario();
    void atualizarResumo();

protected:
    void closeEvent(QCloseEvent *e) override;

private:
    QWidget *buildIdentification();
    QWidget *buildSummary();
    void buildToolbar(class QToolBar *bar);
    void startNew(const QVariant &owner, const QVariant &animal, const QVariant &unit, const QDate &day);
    void show(const std::optional<Atendimento> &a);
    void fillAnimals(const QVariant &idProprietario);
    void animalChosen();
    void ownerTyped(const QString &text);
    void setMode(RecordMode m);
    void updateActions();
    bool validate();
    Atendimento collect() const;
    void notify(int idAtendimento, bool afterBooking);
    void mailDone(int idAtendimento, bool afterBooking, const Mail::Outcome &out);
    void showMailState(const QString &text);
    void reloadList(const QString &condition, const QVariantMap &params, const QVariant &selectKey);
    // The map's slot for the unit, animal and date-hour on screen.
    void showSlot();
    // False when the clerk declines a booking the map has no free place for.
    bool slotAccepted(const Atendimento &a);

    RecordState m_state;
    std::optional<Atendimento> m_current;
    QVariant m_owner;
    QDate m_bookDate;
    PagedQueryModel *m_list;
    QString m_listCondition;
    QVariantMap m_listParams;
    // The list and attendance shown before "Novo", shown again when the new
    // attendance is cancelled.
    struct Before {
        QString condition;
        QVariantMap params;
        QVariant key;
    };
    std::optional<Before> m_beforeNew;
    QHash<QString, QAction *> m_actions;
    QTabWidget *m_tabs;
    QStatusBar *m_status;
    ClinicalTabs *m_clinical = nullptr;
    QLineEdit *m_id;
    IdNameCombo *m_unit;
    QLineEdit *m_ownerId;
    QLineEdit *m_ownerName;
    QCompleter *m_ownerCompleter;
    QStandardItemModel *m_ownerMatches;
    QLineEdit *m_animalId;
    IdNameCombo *m_animal;
    DateEdit *m_date;
    HourEdit *m_hour;
    IdNameCombo *m_statusCombo;
    QRadioButton *m_autorizaSim;
    QRadioButton *m_autorizaNao;
    QComboBox *m_esterilizado;
    QString m_esterilizadoLoaded; // the animal's flag as read when the animal was chosen
    QTableWidget *m_summary;
    class QLabel *m_mailState;
    int m_sending = 0; // booking e-mails on their way
    class QLabel *m_slotInfo = nullptr;
};
