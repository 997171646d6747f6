#pragma once
#include "registry/Address.h"

#include "db/DbError.h"

#include <QList>
#include <QString>
#include <QVariant>
#include <functional>
#include <optional>

class Connection;

// One row of `proprietario`, texts trimmed, missing numbers null.
struct Proprietario {
    QVariant Id_Proprietario;
    QVariant id_Unidade_Trabalho;
    QString Nome;
    QString Telefone_Residencial;
    QString Telefone_Celular;
    QString Telefone_Recado;
    QString Tipo_Pessoa; // "FÍSICA" / "JURÍDICA"
    QString Num_CPF_CNPJ; // digits only
    QString Num_CI;
    QString Email_Proprietario;
    QVariant Id_Endereco;
    QVariant id_usu_web;
    QString Status_Registro;
    QVariant Inserido_Por, Inserido_Em, Modificado_Por, Modificado_Em;
};

// The owner's account for the web booking service: a row of `usuario`.
struct ContaWeb {
    QVariant Id_Usuario;
    QVariant Id_Unidade_Trabalho;
    QString Login;
    QString Senha; // the legacy plain column, shown masked
    QString senha_crip;
    QString Bloqueado; // "NÃO", "SIM", "WEB" (or empty)
};

struct OwnerData {
    Proprietario owner;
    Endereco address;
    std::optional<ContaWeb> web;
};

// The fields a refusal points at, so that the screen can mark and focus it.
enum class OwnerField {
    None, Unidade, Nome, Telefone, TipoPessoa, CpfCnpj, Email, Senha,
    Distrito, TipoLogradouro, CodLogradouro, Seq, Logradouro, Numero, Bairro,
};

struct Refusal {
    OwnerField field = OwnerField::None;
    QString message;
    bool mark = true; // the refused field turns yellow (the CNPJ refusal only focuses)
    explicit operator bool() const { return field != OwnerField::None || !message.isEmpty(); }
};

// A save refused by the duplicate checks repeated inside the saving
// transaction (another desk registered the same person a moment before).
// Thrown after nothing was written; the screen shows it as the check before
// the save would have.
class OwnerRefused : public DbError {
public:
    explicit OwnerRefused(const Refusal &r) : DbError(r.message), m_refusal(r) {}
    const Refusal &refusal() const { return m_refusal; }

private:
    Refusal m_refusal;
};

// What the owner screen's Gravar saves.
struct OwnerEdit {
    Proprietario owner;
    Endereco address;
    // An alteration: the owner and address as the screen loaded them; only
    // what differs from these is written.
    Proprietario loadedOwner;
    Endereco loadedAddress;
    QString password;              // as typed
    bool passwordRequired = true;  // the password box is open for a new password
    bool blockTicked = false;      // "Bloquear acesso."
    bool keepWebBlock = false;     // the user kept the web service's block
};

// A same-named active owner, for the question asked while typing a new name.
struct SameNameOwner {
    int id = 0;
    QString nome, telefoneResidencial, telefoneCelular, telefoneRecado;
    QString tipLogr, nomLogr, numImovLogr, desCmplEndr;
    QString question() const; // the confirmation text
};

// Reads and writes owners with their address and web account. Every save
// runs in one transaction: nothing of a failed save stays behind.
class OwnerStore {
public:
    explicit OwnerStore(Connection &c);
    OwnerStore(); // the current main connection

    // An active owner with its address and web account.
    std::optional<OwnerData> load(int idProprietario) const;
    // Keys of every active owner, in key order (Atualizar).
    QList<int> activeOwnerIds() const;
    std::optional<ContaWeb> webAccount(int idProprietario) const;
    // The trimmed block state of a user ("" when there is none).
    QString blockState(const QVariant &idUsuario) const;
    // True when the owner's account in the web unit (15) already holds a
    // password digest, so that an edit keeps it instead of asking anew.
    bool hasWebDigest(int idProprietario) const;

    // Checks in the order the staff have always seen them; the first refusal
    // wins. `inserting` adds the duplicate checks of a new owner; an edit
    // checks duplicates among the other owners.
    Refusal validate(const OwnerEdit &e, bool inserting) const;
    // The checks that need no database.
    static Refusal validateFields(const OwnerEdit &e);
    Refusal checkDuplicates(const OwnerEdit &e, bool inserting) const;

    // Another active owner whose tax number shares the digits before the
    // check digits (leaving the field); the owner being edited does not count.
    std::optional<int> ownerSharingBaseNumber(const QString &digits, const QVariant &exceptId = {}) const;
    std::optional<SameNameOwner> activeOwnerNamed(const QString &nome) const;

    // Inserts address, owner and web account and links them; returns the
    // owner's key. The duplicate checks run again under a lock that two
    // desks cannot hold at once; a duplicate throws OwnerRefused.
    int insert(const OwnerEdit &e);
    // Writes what changed of owner and address; updates the web account or
    // creates it when the owner has none. An owner deleted meanwhile, or a
    // changed column another workstation changed too, throws StaleRecord and
    // nothing is written; a duplicate throws OwnerRefused.
    void update(const OwnerEdit &e);

    // True when the owner has animals or is named in an ownership change.
    bool hasAnimals(int idProprietario) const;
    // Deletes the owner and its address. The web account stays for the web
    // service's records, blocked and inactive: it can no longer log in, and
    // its e-mail no longer stands in the way of registering the person again.
    void remove(int idProprietario);

    // Called after each step of a save ("endereco", "proprietario",
    // "usuario", "vinculo"); tests throw from it to break a save midway.
    std::function<void(const QString &step)> afterStep;

private:
    void step(const QString &name) const;
    void checkDuplicatesLocked(const OwnerEdit &e, bool inserting);
    int createWebAccount(const OwnerEdit &e, int idProprietario, const QVariant &now);
    Connection &m_c;
};
