#pragma once
#include <QString>
#include <QVariant>
#include <optional>

class Connection;

// One row of `endereco`: an owner's or an animal's address. Numbers that may
// be missing are QVariants (null when empty); texts are trimmed.
struct Endereco {
    QVariant Id_Endereco;
    QVariant Id_Distrito;
    QVariant COD_AREA_ABRN;
    QVariant NUM_LOGR;
    QVariant NUM_SEQU_LOGR;
    QString TIP_LOGR;
    QString NOM_LOGR;
    QVariant NUM_IMOV_LOGR;
    QString DES_CMPL_ENDR;
    QVariant NUM_BAIR;
    QString NOM_BAIR;
    QString NUM_CEP; // 8 digits, no hyphen
    QVariant num_locl;
    QString nom_locl;
    QVariant End_X;
    QVariant End_Y;
    QString Ind_Endereco_Informado; // "SIM" / "NAO"
    QVariant data_inicial_end;
    QVariant data_endereco;
    QVariant Inserido_Por, Inserido_Em, Modificado_Por, Modificado_Em;

    bool operator==(const Endereco &) const = default;
};

namespace AddressStore {

// Which columns a save writes: the owner's address carries the "official
// address" mark; an animal's also its two dates.
enum class Columns { Owner, Animal };

std::optional<Endereco> load(Connection &c, const QVariant &idEndereco);
// Inserts and returns the key the server gave this row. An animal's
// address without a from-date holds from the day of `e.Inserido_Em`.
int insert(Connection &c, const Endereco &e, Columns columns);
// Writes the columns of row `e.Id_Endereco` that differ from `loaded` (what
// the screen read), refused with StaleRecord when another workstation
// changed one of them since; the insert stamps stay as they are.
void update(Connection &c, const Endereco &e, const Endereco &loaded, Columns columns);

} // namespace AddressStore
