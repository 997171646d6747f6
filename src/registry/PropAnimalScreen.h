#pragma once
#include "registry/OwnerStore.h"
#include "registry/OwnerWindows.h"

#include <QHash>
#include <QPointer>
#include <QWidget>
#include <functional>

class AddressGroup;
class AnimalPanel;
class VaccinationPanel;
class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QStatusBar;
class QTabWidget;
class QToolBar;

// Screen 006: owners with their address and web account (the "Proprietário"
// tab), their animals and vaccinations (the other two tabs). Each menu
// command opens its own instance; the windows it opens serve that instance.
class PropAnimalScreen : public QWidget, public OwnerLoader {
    Q_OBJECT
public:
    enum class Mode { Browsing, Inserting, Editing };

    explicit PropAnimalScreen(QWidget *parent = nullptr);
    ~PropAnimalScreen() override;

    // The profile's flags for screen 6 ("N" hides the action for good; the
    // main menu may instead mark actions "zapoRefused" itself).
    void applyPermissions(bool incluir, bool alterar, bool excluir, bool imprimir);

    // OwnerLoader: loads an active owner (and the animal to select).
    void loadOwner(int idProprietario, int idAnimal) override;
    void setAnimalToLocate(int idAnimal) override { m_idAnimalLocalizar = idAnimal; }

    Mode ownerMode() const { return m_mode; }
    int idProprietarioAtual() const { return m_idAtual; }
    int idAnimalLocalizar() const { return m_idAnimalLocalizar; }
    void setIdAnimalLocalizar(int id) { m_idAnimalLocalizar = id; }
    // The owner's address as shown, for the animal tab's copy.
    Endereco ownerAddress() const;
    AddressGroup *ownerAddressGroup() const { return m_address; }
    QTabWidget *tabs() const { return m_tabs; }
    QWidget *animalTab() const;
    AnimalPanel *animalPanel() const { return m_animal; }
    VaccinationPanel *vaccinationPanel() const { return m_vaccines; }
    // The owner's name as shown (empty: no owner loaded).
    QString ownerName() const;
    QWidget *vaccinationTab() const;
    QAction *action(const QString &objectName) const;
    // The work unit chosen in "Unidade:" (invalid: none), for a booking
    // started from this register.
    QVariant chosenUnidade() const;
    QPointer<OwnerConsultation> consultation() const { return m_consultation; }

    // The catalog number of the owner report (the owner's animals), which
    // "Imprimir..." asks the screen catalog for with the owner's key.
    static constexpr int OwnerReport = 149;

public slots:
    void novo();
    void alterar();
    void excluir();
    void atualizar();
    void gravar();
    void cancelar();
    void pesquisar();
    void imprimir();

signals:
    // After every owner load (idAnimal 0: none to select), for the animal tab.
    void ownerLoaded(int idProprietario, int idAnimal);

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildOwnerTab(QWidget *tab);
    void updateActions();
    void setMode(Mode m);
    void showOwner(const std::optional<OwnerData> &d);
    void clearOwner();
    OwnerEdit collect() const;
    QWidget *editorFor(OwnerField f) const;
    void refuse(const Refusal &r);
    void setWebFieldsEditable(bool on);
    void setPasswordRequired(bool on);
    void showBlock(const QString &bloqueado, bool tick);
    void setTipoPessoa(const QString &tipo);
    void nameLeft();
    // True when the tax number belongs to another owner, now shown.
    bool cpfLeft();
    void showPhone();
    void moveTo(int index);
    void loadUnits();
    void updateCaption();
    bool animalBusy(const QString &message);

    Mode m_mode = Mode::Browsing;
    int m_idAtual = 0;
    int m_idAnimalLocalizar = 0;
    std::optional<OwnerData> m_current;
    QList<int> m_ids;
    int m_index = -1;
    bool m_passwordRequired = true;
    bool m_cpfChecking = false;
    QString m_cpfChecked; // the tax number digits last looked up
    QString m_telefoneStored;
    QPointer<OwnerConsultation> m_consultation;

    QTabWidget *m_tabs;
    QStatusBar *m_status;
    QLabel *m_statusOwner;
    QHash<QString, QAction *> m_actions;
    QLineEdit *m_codigo;
    QComboBox *m_unidade;
    QLineEdit *m_nome;
    QLineEdit *m_telefone;
    QLineEdit *m_celular;
    QLineEdit *m_recado;
    QComboBox *m_tipoPessoa;
    QLineEdit *m_cpf;
    QLineEdit *m_ci;
    QLineEdit *m_email;
    QLineEdit *m_login;
    QLineEdit *m_senha;
    QCheckBox *m_bloquear;
    AddressGroup *m_address;
    AnimalPanel *m_animal = nullptr;
    VaccinationPanel *m_vaccines = nullptr;
};
