#pragma once
#include "reports/engine/ReportDefinition.h"

#include <QDate>
#include <QWidget>

class QCheckBox;
class DateEdit;

class Connection;
class ScreenCatalog;

namespace TransferReport {

// "Animais com Transferência" (REL043): per animal, its data and current
// owner, then one line per ownership record; with a period, only the
// records made on its days (from..to, whole days).
ReportDefinition definition(Connection &c, const QDate &from = {}, const QDate &to = {});

} // namespace TransferReport

// The selection of report 43: every transfer, or those of a period.
class SelRelTransferenciaWindow : public QWidget {
    Q_OBJECT
public:
    explicit SelRelTransferenciaWindow(QWidget *parent = nullptr);
    QCheckBox *periodo() const { return m_usePeriod; }
    DateEdit *inicio() const { return m_from; }
    DateEdit *fim() const { return m_to; }
    void visualizar();

private:
    QCheckBox *m_usePeriod;
    DateEdit *m_from;
    DateEdit *m_to;
};

// Report 43 of the menu (and of the transfer screen's "Relatório...").
void registerTransferReport(ScreenCatalog &catalog);
