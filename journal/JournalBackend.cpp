#include "journal/JournalBackend.h"

#include "masterdata/ServerConnection.h"

CounterHold::~CounterHold() = default;

JournalBackend::~JournalBackend() = default;

std::unique_ptr<JournalBackend> JournalAt(const QString &journalFile)
{
    if (const std::optional<ServerSettings> server = Server::ForFile(journalFile))
        return ServerJournal(*server);
    return FileJournal(journalFile);
}
