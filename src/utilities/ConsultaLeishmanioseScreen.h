#pragma once
#include <QColor>
#include <QString>
#include <QVariantMap>
#include <QWidget>
#include <optional>

class Dialect;
class PagedQueryModel;
class QLabel;
class QLineEdit;
class QTableView;

// "045 - Consulta resultado de Leishmaniose Visceral Canina.": a dog's test
// samples in the sibling zoonosis-control database, found by sample code,
// dog name, street or house number, coloured by result. Reads only that
// database ("DB_KELDA"). An independent window, freed when closed; each
// window keeps its own search.
class ConsultaLeishmanioseScreen : public QWidget {
    Q_OBJECT
public:
    struct Criteria {
        QString sample, dog, street, number;
        bool isEmpty() const;
    };
    struct Search {
        QString where; // named placeholders
        QVariantMap params;
    };
    // Every filled criterion (trimmed) narrows the result: the sample code
    // exactly, dog names that begin with the text and streets that contain
    // it, both without regard to case or accents ("%", "_" and quotes are
    // plain characters), the house number exactly.
    static Search search(const Dialect &d, const Criteria &c);
    // The font colour of a row with these codes; invalid: the grid's own.
    static QColor resultColour(const QString &result, const QString &confirmation);

    explicit ConsultaLeishmanioseScreen(QWidget *parent = nullptr);
    ~ConsultaLeishmanioseScreen() override;

    Criteria criteria() const;
    PagedQueryModel *model() const { return m_model; }
    QTableView *grid() const { return m_grid; }
    QLabel *panel(int i) const { return m_panels[i]; }

public slots:
    void consultar();
    void sortByColumn(int column);

private:
    std::optional<Search> m_current;
    QLineEdit *m_sample, *m_dog, *m_street, *m_number;
    PagedQueryModel *m_model;
    QTableView *m_grid;
    QLabel *m_panels[3];
};
