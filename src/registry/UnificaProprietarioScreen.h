#pragma once
#include "registry/OwnerMerge.h"

#include <QMap>
#include <QWidget>
#include <optional>

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QVBoxLayout;

// "061 - Unificar proprietários.": the owner kept and its duplicate side by
// side, found with the owner search; the kept owner's empty fields the
// clerk ticks take the duplicate's values, and Unificar moves everything
// that names the duplicate to the kept owner.
class UnificaProprietarioScreen : public QWidget {
    Q_OBJECT
public:
    explicit UnificaProprietarioScreen(QWidget *parent = nullptr);

    // Side 1: the owner kept; side 2: the duplicate.
    void showOwner(int target, int idProprietario);
    int owner(int target) const;
    QString sideText(int target) const;
    // The check boxes of the fields the kept owner may take, by column.
    const QMap<QString, QCheckBox *> &fieldBoxes() const { return m_fields; }

public slots:
    void localizar(int target);
    void unificar();
    void limpar();

private:
    struct Side {
        QGroupBox *group = nullptr;
        QLineEdit *code = nullptr;
        QPlainTextEdit *text = nullptr;
        std::optional<OwnerPicture> picture;
    };
    Side buildSide(const QString &title, const QString &findCaption, int target);
    Side &side(int target) { return target == 1 ? m_kept : m_duplicate; }
    const Side &side(int target) const { return target == 1 ? m_kept : m_duplicate; }
    void refreshFields();

    Side m_kept;
    Side m_duplicate;
    QGroupBox *m_fieldGroup = nullptr;
    QVBoxLayout *m_fieldLayout = nullptr;
    QMap<QString, QCheckBox *> m_fields;
};
