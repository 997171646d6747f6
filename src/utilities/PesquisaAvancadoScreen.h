#pragma once
#include "utilities/AdvancedSearch.h"

#include <QWidget>
#include <functional>
#include <optional>

class IdNameCombo;
class PagedQueryModel;
class QCheckBox;
class QComboBox;
class DateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableView;

// "046 - Pesquisa Avançada.": animals found by any combination of criteria
// on the animal, its owner and its address, one wide row each; the result
// is exported to a dBASE table with its data dictionary, or its owner is
// opened in the register. An independent window, freed when closed.
class PesquisaAvancadoScreen : public QWidget {
    Q_OBJECT
public:
    explicit PesquisaAvancadoScreen(QWidget *parent = nullptr);
    ~PesquisaAvancadoScreen() override;

    // How "Ir para cadastro..." opens the owner and animal register
    // (0: without an owner); installed by the application's wiring.
    using RegisterOpener = std::function<void(int idProprietario, int idAnimal)>;
    static void setRegisterOpener(RegisterOpener opener);

    AdvancedSearch::Criteria criteria() const;
    PagedQueryModel *model() const { return m_model; }
    QTableView *grid() const { return m_grid; }
    QLabel *statusPanel(int i) const { return m_panels[i]; }

public slots:
    void pesquisar();
    void exportar();
    void irParaCadastro();
    void sortByColumn(int column);

protected:
    void showEvent(QShowEvent *event) override;

private:
    QWidget *buildCriteria();
    void fillLists();
    void statusChanged();

    std::optional<AdvancedSearch::Query> m_current;
    bool m_listsFilled = false;

    QLineEdit *m_ownerId, *m_ownerName, *m_cpf, *m_identity;
    QComboBox *m_personType;
    QLineEdit *m_street, *m_number, *m_complement;
    IdNameCombo *m_district, *m_area, *m_neighbourhood;
    QLineEdit *m_animalId, *m_animalName;
    IdNameCombo *m_species, *m_breed, *m_group, *m_size, *m_coat;
    QLineEdit *m_colour;
    QComboBox *m_sex, *m_sterilized, *m_microchipped;
    QLineEdit *m_microchip, *m_pedigree, *m_marks;
    DateEdit *m_bornFrom, *m_bornTo;
    QCheckBox *m_ignoreBirth;
    QRadioButton *m_active, *m_inactive;
    PagedQueryModel *m_model;
    QTableView *m_grid;
    QLabel *m_panels[3];
};
