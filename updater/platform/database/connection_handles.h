// What an open Connection holds, shared with the queries that run on it.
#pragma once

#include "platform/database/database.h"
#include "platform/database/odbc_call.h"

namespace torvik::db {

struct Connection::Handles {
    OdbcHandle environment;
    OdbcHandle connection;  // allocated and connected together
    bool connected = false;

    Handles() = default;
    Handles(const Handles&) = delete;
    Handles& operator=(const Handles&) = delete;
    ~Handles() { Disconnect(); }

    void Disconnect()
    {
        if (connected) {
            SQLDisconnect(connection.get());  // a broken link still frees the handle below
            connected = false;
        }
        connection.Reset();
    }
};

}  // namespace torvik::db
