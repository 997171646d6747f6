#pragma once
#include <QDate>
#include <QList>
#include <QString>
#include <functional>

class Connection;

// Moves animals between two owners and records each move in the ownership
// history, all in one transaction: on any failure nothing moves.
class TransferStore {
public:
    explicit TransferStore(Connection &c);
    TransferStore(); // the current main connection

    struct Result {
        int moved = 0;   // animals that changed owner
        int missing = 0; // animals no longer in the database (skipped)
        QList<int> missingAnimals; // their keys
    };

    // The two sides as the user left them: every animal listed on a side
    // ends up that side's owner's. The previous owner recorded is the one
    // the animal has in the database at that moment (not the other side's,
    // which may be stale). Throws DbError.
    Result transfer(int leftOwner, const QList<int> &leftAnimals, int rightOwner, const QList<int> &rightAnimals,
                    const QDate &date);

    // Called after each history row; tests throw from it to break a save.
    std::function<void(int idAnimal)> afterMove;

private:
    Connection &m_c;
};
