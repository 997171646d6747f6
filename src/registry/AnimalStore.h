#pragma once
#include "registry/Address.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QVariant>
#include <functional>
#include <optional>

class Connection;

// One row of `animal`, texts trimmed, missing numbers null.
struct Animal {
    QVariant Id_Animal;
    QVariant Id_Proprietario;
    QVariant Id_Especie;
    QVariant Id_Raca;
    QVariant Id_Grupo_Animal;
    QVariant Id_Pelo;
    QVariant Id_Porte;
    QString Nome;
    QString Sexo;         // "M" / "F"
    QDate Data_Nascimento;
    QString Esterilizado; // "SIM" / "NAO"
    QString Num_Microchip;
    QString Cor;
    QString Sinais;
    QString Num_Pedigree;
    QString OBS;
    QString Ind_End_Animal_Prop;
    QVariant Inserido_Por, Inserido_Em, Modificado_por, Modificado_Em;
};

// The editors a refusal points at.
enum class AnimalField {
    None, Nome, Grupo, Especie, Raca, Porte, Pelo, DataNascimento, Sexo, Esterilizado,
    Distrito, Bairro, TipoLogradouro, Logradouro, Numero,
};

struct AnimalRefusal {
    AnimalField field = AnimalField::None;
    QString message;
    explicit operator bool() const { return !message.isEmpty(); }
};

// What the animal tab's Gravar saves.
struct AnimalEdit {
    Animal animal;
    Endereco address;
    // An alteration: the animal and its address as the tab loaded them;
    // only what differs from these is written.
    Animal loadedAnimal;
    Endereco loadedAddress;
    // The birth date box as typed ("  /  /  " when left empty), so that a
    // half-typed date is refused rather than taken as no date.
    QString birthDateText;
};

// Reads and writes an owner's animals with their current address. A new
// animal's rows (address, animal, address link, group membership, first
// ownership record) are written in one transaction, and so is a delete.
class AnimalStore {
public:
    explicit AnimalStore(Connection &c);
    AnimalStore(); // the current main connection

    // The owner's animals in key order.
    QList<Animal> ofOwner(int idProprietario) const;
    std::optional<Animal> load(int idAnimal) const;
    // The animal's current address: its link with the greatest address key.
    std::optional<Endereco> currentAddress(int idAnimal) const;

    // Size and coat a breed implies (null when the breed names none).
    struct BreedDefaults {
        QVariant idPorte, idPelo;
    };
    BreedDefaults breedDefaults(const QVariant &idRaca) const;

    // The checks of Gravar in the order the staff know; the first fails.
    static AnimalRefusal validate(const AnimalEdit &e);

    // Saves a new animal of `e.animal.Id_Proprietario`; returns its key.
    int insert(const AnimalEdit &e);
    // Writes what changed of the animal and its current address in place;
    // StaleRecord when another workstation changed the same column or
    // deleted the animal since it was loaded, and nothing is written.
    void update(const AnimalEdit &e);

    // Why the animal may not be deleted (empty: it may).
    QString deleteRefusal(int idAnimal) const;
    // Deletes the animal with every address it had, their links, its group
    // memberships and its ownership records; vaccinations and occurrences
    // stay. Refuses (throws) when the animal gained an attendance or a
    // second owner since deleteRefusal() was asked.
    void remove(int idAnimal);

    // Who inserted and changed the animal, as shown by "Informação"; empty
    // when nothing is known.
    QString information(int idAnimal) const;

    // Called after each step of a save or delete; tests throw from it to
    // break one midway.
    std::function<void(const QString &step)> afterStep;

private:
    void step(const QString &name) const;
    Connection &m_c;
};
