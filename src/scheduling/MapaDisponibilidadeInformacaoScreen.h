#pragma once
#include <QWidget>

class Connection;
class QPlainTextEdit;
class QStatusBar;

// "Informação do mês": the current month's places offered and taken, unit
// by unit and day by day.
class MapaDisponibilidadeInformacaoScreen : public QWidget {
    Q_OBJECT
public:
    MapaDisponibilidadeInformacaoScreen(Connection &c, QWidget *parent = nullptr);
    QString text() const;
    void reload();

private:
    Connection &m_c;
    QPlainTextEdit *m_text = nullptr;
    QStatusBar *m_status = nullptr;
};
