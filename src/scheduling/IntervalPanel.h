#pragma once
#include "scheduling/WorkIntervals.h"

#include <QWidget>
#include <functional>

class Connection;
class IdNameCombo;
class QCheckBox;
class DateEdit;
class QDateTime;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QTimeEdit;
class QTreeWidget;

// One of the professional's interval lists with its editors: unit, first and
// last day, daily start and end hour, "&Incluir" and "&Excluir" (and, for the
// working hours, the weekday boxes). The list lives here until the
// professional is saved; nothing is written by the panel itself.
class IntervalPanel : public QWidget {
    Q_OBJECT
public:
    IntervalPanel(IntervalKind kind, QWidget *parent = nullptr);

    IntervalKind kind() const { return m_kind; }
    // Asked by the buttons: may the list change now (new or altered record)?
    void setChangeAllowed(std::function<bool()> allowed) { m_allowed = std::move(allowed); }
    // Reads the active units again; throws DbError.
    void fillUnits(Connection &c);
    void setPickers(const QDateTime &t);
    // Enables or disables the editors and buttons (browsing disables them).
    void setEditing(bool on);
    // The professional's name shown above the impediments and extra hours.
    void setProfessionalName(const QString &name);

    const QList<WorkInterval> &rows() const { return m_rows; }
    void setRows(const QList<WorkInterval> &rows);

    // "&Incluir" and "&Excluir": true when the list changed.
    bool include();
    bool exclude();

    IdNameCombo *unitCombo() const { return m_unit; }
    DateEdit *firstDayEdit() const { return m_firstDay; }
    DateEdit *lastDayEdit() const { return m_lastDay; }
    QTimeEdit *startEdit() const { return m_start; }
    QTimeEdit *endEdit() const { return m_end; }
    QCheckBox *weekdayBox(int sundayFirst) const { return m_days.value(sundayFirst); }
    QTreeWidget *list() const { return m_list; }

private:
    void showRows();
    WorkInterval typed() const;

    IntervalKind m_kind;
    std::function<bool()> m_allowed;
    QList<WorkInterval> m_rows;
    QGroupBox *m_group = nullptr;
    QLineEdit *m_name = nullptr;
    QList<QCheckBox *> m_days;
    IdNameCombo *m_unit = nullptr;
    DateEdit *m_firstDay = nullptr;
    DateEdit *m_lastDay = nullptr;
    QTimeEdit *m_start = nullptr;
    QTimeEdit *m_end = nullptr;
    QPushButton *m_include = nullptr;
    QPushButton *m_exclude = nullptr;
    QTreeWidget *m_list = nullptr;
};
