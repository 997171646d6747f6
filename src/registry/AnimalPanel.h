#pragma once
#include "registry/AnimalStore.h"
#include "ui/register/FieldSet.h"

#include <QHash>
#include <QPointer>
#include <QWidget>
#include <functional>

class AddressGroup;
class DateLineEdit;
class PropAnimalScreen;
class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QToolBar;
class QToolButton;

// The "Animal" tab of screen 006: the animals of the owner loaded on the
// first tab, one at a time, with their current address. It has its own
// toolbar and its own save; the owner comes from the screen around it.
class AnimalPanel : public QWidget {
    Q_OBJECT
public:
    enum class Mode { Browsing, Inserting, Editing };

    explicit AnimalPanel(PropAnimalScreen *screen, QWidget *parent = nullptr);
    ~AnimalPanel() override;

    Mode mode() const { return m_mode; }
    bool isEditing() const { return m_mode != Mode::Browsing; }
    // The current animal's key (0: none) and name as shown.
    int idAnimal() const;
    QString animalName() const;
    int animalCount() const { return int(m_animals.size()); }
    QAction *action(const QString &objectName) const { return m_actions.value(objectName); }
    AddressGroup *addressGroup() const { return m_address; }

    // The birth date, as the age calculator gives it; ignored unless the
    // animal is being inserted or altered.
    void setBirthDate(const QDate &date);
    QDate birthDate() const;

    // The profile's flags of screen 6 refuse these as they refuse the owner's.
    void applyPermissions(bool incluir, bool alterar, bool excluir);

    // What "&Marca atendimento..." opens after filling the hand-over record,
    // and what "Ocorrencias..." opens for an owner and animal. Set by the
    // areas that own those screens; until then nothing opens.
    static void setNewAppointmentOpener(std::function<void(QWidget *parent)> opener);
    static void setOccurrenceOpener(std::function<void(QWidget *parent, int idProprietario, int idAnimal)> opener);

public slots:
    // The owner loaded on the first tab (0: none) and the animal to select.
    void showOwnerAnimals(int idProprietario, int idAnimal);
    void novo();
    void alterar();
    void excluir();
    void atualizar();
    void gravar();
    void cancelar();
    void informacao();
    void marcaAtendimento();
    void ocorrencia();
    void moveTo(int index);
    void openAgeCalculator();

signals:
    // The current animal changed (0: none), for the vaccination tab.
    void animalChanged(int idAnimal);
    // An animal was saved or deleted: the owner's count changed.
    void animalsChanged();
    void modeChanged();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildRecord(QWidget *area);
    void loadLists();
    void reload(int idAnimalToSelect);
    void showCurrent();
    void clearFields();
    void setMode(Mode m);
    void updateActions();
    AnimalEdit collect() const;
    QWidget *editorFor(AnimalField f) const;
    void narrowBreeds();
    void widenBreeds();
    void breedLeft();
    void sameAddressClicked();
    void applyDefaults();

    PropAnimalScreen *m_screen;
    Mode m_mode = Mode::Browsing;
    int m_idProprietario = 0;
    QList<Animal> m_animals;
    int m_index = -1;
    std::optional<Endereco> m_loadedAddress;
    bool m_breedsNarrowed = false; // the breed list holds one species' breeds

    QHash<QString, QAction *> m_actions;
    QLabel *m_ownerName;
    // The animal's own columns; the editors below are the ones the tab
    // watches or hands to others.
    FieldSet m_fields;
    QLineEdit *m_nome;
    QComboBox *m_especie;
    QComboBox *m_raca;
    DateLineEdit *m_nascimento;
    QToolButton *m_calcula;
    AddressGroup *m_address;
    QCheckBox *m_mesmoEndereco;
};
