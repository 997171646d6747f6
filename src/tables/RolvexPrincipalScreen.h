#pragma once
#include "ui/register/RegisterScreen.h"

class QComboBox;

// "Tabelas auxiliares": one set of controls for the three small tables of
// the vaccination records; the user first picks the table in
// "Selecione uma tabela:" and every action then works on it. Rows are
// altered and deleted only if no other workstation changed them meanwhile.
class RolvexPrincipalScreen : public RegisterScreen {
    Q_OBJECT
public:
    explicit RolvexPrincipalScreen(QWidget *parent = nullptr, Connection *connection = nullptr);

    QComboBox *tableChoice() const { return m_choice; }
    // The definitions of the three tables, by their position in the choice.
    static RegisterDef tableDef(int index);
    static QStringList choices();

protected:
    void showEvent(QShowEvent *e) override;

private:
    void choose(int index);

    QComboBox *m_choice;
    bool m_centred = false;
};
