#pragma once
#include "registry/Address.h"

#include <QGroupBox>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QToolButton;

// The address editors of an owner or an animal, tied to the city's street
// database: the street code, the street name, the house number and the postal
// code each fill the rest from it. Used by the owner and animal register and
// the animal address screen; it knows nothing of them.
//
// The lookups act only while editing (setEditing(true)), as the record
// around it is being inserted or altered.
class AddressGroup : public QGroupBox {
    Q_OBJECT
public:
    // The owner's group ("Endereço") has the official-address box; typing a
    // street name by hand clears its street code. The animal's
    // ("Endereço do animal") shows more neighbourhoods at once.
    // The animal address screen's group ("History") looks streets up a
    // little differently: Enter in the street code opens the street search,
    // Enter in the CEP looks it up, the house number does not.
    enum class Kind { Owner, Animal, History };
    explicit AddressGroup(Kind kind, QWidget *parent = nullptr);

    Kind kind() const { return m_kind; }

    // Fills the drop-downs: street types, districts, neighbourhoods, coverage
    // areas. A street database that cannot be read leaves them empty.
    void loadLists();

    // Shows a stored address (or an empty one) and keeps its key and stamps.
    void setAddress(const Endereco &e);
    // What the editors hold, on top of the address last shown.
    Endereco address() const;
    void clear();

    void setEditing(bool on);
    bool isEditing() const { return m_editing; }

    // "Endereço oficial." (owner group only).
    void setOfficial(bool on);
    bool isOfficial() const;

    // Copies the location of another address (street, number, neighbourhood,
    // postal code, district, area, locality and coordinates) into this one.
    void copyLocationFrom(const Endereco &other);
    // A street confirmed in the street search window.
    void applyStreet(int numLogr, const QString &nomLogr, const QString &tipLogr, int seq, const QVariant &numBair,
                     const QString &nomBair);

    // The editor of a column of `endereco` ("NUM_LOGR", "TIP_LOGR", ...),
    // for marking a refused field.
    QWidget *editor(const QString &column) const;

    // The lookups, also callable directly (tests, other screens).
    void lookupStreetCode();
    void lookupStreetName();
    void lookupPostalCodeOfHouse();
    void lookupPostalCode();
    void narrowAreasByDistrict();
    void checkTypedArea();
    void refreshNeighbourhoods();

signals:
    // The street search window should open for this group: selection
    // "Núm lograd." or "Logradouro", the text, and whether to search at once.
    void streetSearchRequested(const QString &selection, const QString &text, bool runAtOnce);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void setStreetType(const QString &code);
    void selectNeighbourhood(const QVariant &num, const QString &name);
    void selectArea(const QVariant &code);
    void setDistrict(const QVariant &id);
    void reportError(const std::exception &e);

    Kind m_kind;
    bool m_editing = false;
    bool m_nameTyped = false;
    bool m_filling = false;
    Endereco m_loaded;
    QLineEdit *m_numLogr;
    QComboBox *m_tipLogr;
    QLineEdit *m_nomLogr;
    QToolButton *m_search;
    QLineEdit *m_numImov;
    QLineEdit *m_complemento;
    QComboBox *m_bairro;
    QLineEdit *m_cep;
    QLineEdit *m_seq;
    QComboBox *m_distrito;
    QLineEdit *m_areaCode;
    QComboBox *m_area;
    QCheckBox *m_oficial = nullptr;
};
