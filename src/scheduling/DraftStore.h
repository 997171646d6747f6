#pragma once
#include "scheduling/SlotStore.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <functional>

class Connection;

// A planned slot (`mapa_rascunho`) with the names its grid shows.
struct Draft {
    int id = 0;
    int unidade = 0, procedimento = 0, especie = 0;
    QDateTime dataHora;
    int vagaGeral = 0, vagaFemea = 0;
    QString unidadeNome, procedimentoNome, especieNome, inseridoPorNome;
    QDateTime inseridoEm;
};

// Every statement of the draft map and its publication into the map the web
// booking service reads.
class DraftStore {
public:
    explicit DraftStore(Connection &c);

    // The planned drafts, in key order.
    QList<Draft> planned();
    // The same unit, species, date-hour and procedure among published slots,
    // or among the other planned drafts.
    bool publishedDuplicate(const SlotValues &v);
    bool draftDuplicate(const SlotValues &v, int exceptId);

    // Saving a draft: both duplicate tests run inside the saving transaction,
    // after the locks that publishing and new slots take (the map's first,
    // then the drafts'), so two clerks cannot both save the same draft.
    enum class Saved { Done, PublishedDuplicate, DraftDuplicate, Gone };
    Saved insert(const SlotValues &v, const QString &user, int *key = nullptr);
    // Gone when the draft is no longer planned (published or deleted meanwhile).
    Saved alter(int id, const SlotValues &v, const QString &user);
    bool remove(int id);

    // Publishes every planned draft in one transaction: each draft is claimed
    // (planned -> published) before its slot is written, so two workstations
    // publishing at once publish it once. A draft whose unit, species,
    // date-hour and procedure are already in the map is not published (the
    // web would offer that hour twice) and stays planned. `step(done)` false
    // cancels and nothing is published.
    struct PublishResult {
        QList<int> slotKeys;
        int skipped = 0;
        bool cancelled = false;
    };
    PublishResult publish(const std::function<bool(int done, int total)> &step = {});

    // What a publication would send, unit by unit.
    struct UnitPlan {
        QString unidadeNome;
        int horarios = 0, vagaGeral = 0, vagaFemea = 0;
    };
    QList<UnitPlan> plannedByUnit();

    // The printed plan (REL51): rows of the planned drafts with names.
    static QString reportStatement();

private:
    Connection &m_c;
};
