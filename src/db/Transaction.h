#pragma once

class Connection;

// Begins on construction; rolls back on destruction unless committed, so an
// exception anywhere in a multi-row save leaves nothing behind.
class Transaction {
public:
    explicit Transaction(Connection &c);
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;
    void commit();

private:
    Connection &m_c;
    bool m_open = false;
};
