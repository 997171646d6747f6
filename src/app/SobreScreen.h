#pragma once
#include <QWidget>

class QLabel;

// The system information window of the help menu: product title, version
// captions and the server of the main connection.
class SobreScreen : public QWidget {
    Q_OBJECT
public:
    explicit SobreScreen(const QString &parameterText, QWidget *parent = nullptr);

    // "Servidor ZAPO: " and the 17 characters after "SERVER NAME=" in the
    // connection's parameter text (fewer when the text ends first; none
    // when the text has no such line).
    static QString serverLine(const QString &parameterText);

    QLabel *serverLabel() const { return m_server; }

private:
    QLabel *m_server;
};
