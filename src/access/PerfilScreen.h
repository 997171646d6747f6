#pragma once
#include "ui/register/RegisterScreen.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QTreeWidget;

// Screen 002: a profile and its permission lines, edited together. The lines
// are a working copy of the profile's perfil_form rows; "Gravar" replaces
// the rows with them in the same transaction as the profile.
class PerfilScreen : public RegisterScreen {
    Q_OBJECT
public:
    explicit PerfilScreen(QWidget *parent = nullptr);

    QTreeWidget *permissions() const { return m_list; }
    QComboBox *selection() const { return m_selection; }
    QComboBox *forms() const { return m_forms; }
    QCheckBox *flag(int i) const { return m_flags[i]; }

public slots:
    void addLine();    // "&Incluir"
    void removeLine(); // "&Excluir"

protected:
    bool validate(const Record &values) override;
    void afterWrite(const QVariant &key, bool inserting, Connection &c) override;
    bool mayDelete(const QVariant &key) override;
    void beforeDelete(const QVariant &key, Connection &c) override;
    void recordShown() override;

private:
    void loadPermissions();
    void loadForms();
    bool editing() const;

    QLabel *m_name = nullptr;
    QComboBox *m_selection = nullptr;
    QComboBox *m_forms = nullptr;
    QCheckBox *m_flags[5] = {};
    QTreeWidget *m_list = nullptr;
};
