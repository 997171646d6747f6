#pragma once
#include "scheduling/WorkIntervals.h"
#include "ui/register/RegisterScreen.h"

class IntervalPanel;

// "007 - Profissional.": the professionals, each with three lists of
// intervals (working hours per weekday, impediments, extra hours) edited on
// their own tabs and written with the professional in one transaction.
class ProfissionalScreen : public RegisterScreen {
    Q_OBJECT
public:
    explicit ProfissionalScreen(QWidget *parent = nullptr, Connection *connection = nullptr);

    static RegisterDef definition();

    IntervalPanel *workingHours() const { return m_panels[0]; }
    IntervalPanel *impediments() const { return m_panels[1]; }
    IntervalPanel *extraHours() const { return m_panels[2]; }

protected:
    void afterWrite(const QVariant &key, bool inserting, Connection &c) override;
    bool mayDelete(const QVariant &key) override;
    void beforeDelete(const QVariant &key, Connection &c) override;
    void recordShown() override;
    void stateChanged() override;

private:
    void reloadUnits();

    IntervalPanel *m_panels[3] = {};
    QList<WorkInterval> m_loaded[3]; // each panel's rows as read, what an alteration compares with
};
