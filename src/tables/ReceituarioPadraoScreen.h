#pragma once
#include <QWidget>

class Connection;
class QPlainTextEdit;
class QPushButton;

// "020 - Receituário padrão.": the one standard prescription text, read-only
// until "&Alterar", written by "&Gravar".
class ReceituarioPadraoScreen : public QWidget {
    Q_OBJECT
public:
    explicit ReceituarioPadraoScreen(QWidget *parent = nullptr, Connection *connection = nullptr);

    QPlainTextEdit *text() const { return m_text; }
    bool isEditing() const { return m_editing; }

public slots:
    void reload();
    void alter();   // "&Alterar"
    bool save();    // "&Gravar": true when written
    void print();   // "&Imprimir..."

protected:
    void showEvent(QShowEvent *e) override;

private:
    void setEditing(bool on);

    Connection *m_conn;
    QPlainTextEdit *m_text;
    QPushButton *m_gravar, *m_alterar, *m_imprimir, *m_sair;
    bool m_editing = false;
    bool m_loaded = false;
};
