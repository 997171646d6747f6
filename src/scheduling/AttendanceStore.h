#pragma once
#include <QDateTime>
#include <QString>
#include <QVariant>
#include <optional>

class Connection;

// One row of atendimento as the attendance screen writes it.
struct Atendimento {
    QVariant Id_Atendimento; // invalid until saved
    QVariant Id_Proprietario;
    QVariant Id_Animal;
    QVariant Id_Unidade_Trabalho;  // the unit that booked
    QVariant Id_Unidade_Agendada;  // the unit that performs
    QDateTime Data_Hora_Atendimento;
    QVariant Id_Atendimento_Status;
    QString Ind_Autoriza_Cirurgia;
};

// Writes of the attendance screen and its clinical tabs. Each write is one
// transaction; the stamps are the session's user and the server's clock.
// Failures throw DbError and leave nothing behind.
class AttendanceStore {
public:
    explicit AttendanceStore(Connection &c) : m_c(c) {}

    std::optional<Atendimento> load(int idAtendimento);
    // The animal's sterilized flag ("SIM"/"NAO"; empty when unknown).
    QString esterilizado(const QVariant &idAnimal);

    // A new attendance with the animal's sterilized flag, in one
    // transaction; returns the key the server gave this very insert.
    // `loadedFlag` is the flag as read with the animal: the flag is written
    // only when it differs, and refused (StaleRecord) when another
    // workstation changed it since.
    int insert(const Atendimento &a, const QString &esterilizado, const QString &loadedFlag);
    // What the clerk changed of the attendance's own columns (never who
    // inserted it or when) against `loaded`, and the flag as above, in one
    // transaction. False when the row is gone; StaleRecord when another
    // workstation changed one of the same columns since it was loaded.
    bool update(const Atendimento &a, const Atendimento &loaded, const QString &esterilizado, const QString &loadedFlag);

    enum class Removal { Removed, HasClinicalRows, Missing };
    Removal remove(int idAtendimento);

    // Clinical rows: each kind at most once per attendance; the check and
    // the insert run in one transaction so that two workstations adding the
    // same row at once leave one.
    enum class Added { Added, Duplicate };
    Added addProfessional(int idAtendimento, int idProfissional);
    void removeProfessional(int idAtendimento, int idProfissional);
    Added addProcedure(int idAtendimento, int idTipoProcedimento);
    void removeProcedure(int idProcedimento);
    Added addMedicine(int idAtendimento, int idMedicamento, double quantidade);
    void removeMedicine(int idMedicamentoGasto);
    int insertPrescription(int idAtendimento, const QString &descricao);
    void updatePrescription(int idReceituario, const QString &descricao);
    void removePrescription(int idReceituario);

private:
    Connection &m_c;
};

// The "<br>" marks of the stored guidance text become " - "; a blank or
// line break right after a mark goes with it (CR LF counts as one).
QString guidanceText(const QString &stored);
