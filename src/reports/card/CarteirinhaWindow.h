#pragma once
#include "reports/card/CardReport.h"

#include <QWidget>

class PagedQueryModel;
class QComboBox;
class QLineEdit;
class QPushButton;
class QTableView;
class ScreenCatalog;

// "Impressão de carteira de identificação...": finds an owner's animals and
// prints the card of the chosen one; closes once the card's preview closes.
class CarteirinhaWindow : public QWidget {
    Q_OBJECT
public:
    explicit CarteirinhaWindow(QWidget *parent = nullptr);

    QComboBox *selecione() const { return m_field; }
    QLineEdit *texto() const { return m_text; }
    QTableView *grid() const { return m_grid; }
    PagedQueryModel *model() const { return m_model; }

    void localizar();
    void imprimir(CardReport::Variant v);

private:
    QComboBox *m_field;
    QLineEdit *m_text;
    QTableView *m_grid;
    PagedQueryModel *m_model;
};

// Registers 041.
void registerCardScreens(ScreenCatalog &catalog);
