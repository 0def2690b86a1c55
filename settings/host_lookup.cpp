#include "settings/host_lookup.h"

#include <QHostInfo>
#include <QMetaObject>

namespace settings {
namespace {

std::unique_ptr<HostLookup>& Current()
{
    static std::unique_ptr<HostLookup> current;
    return current;
}

} // namespace

int SystemHostLookup::Start(const QString& name, QObject* context, Done done)
{
    return QHostInfo::lookupHost(name, context, [done = std::move(done)](const QHostInfo& info) {
        done(info.lookupId(), info.error() == QHostInfo::NoError ? info.addresses() : QList<QHostAddress>{});
    });
}

void SystemHostLookup::Abort(int id)
{
    QHostInfo::abortHostLookup(id);
}

int TableHostLookup::Start(const QString& name, QObject* context, Done done)
{
    const int id = nextId_++;
    asked.push_back(name);
    const Pending& pending =
        pending_.emplace(id, Pending{name, context, std::move(done), std::make_shared<bool>(true)}).first->second;
    if (!holdAnswers)
        Answer(id, pending, true);
    return id;
}

void TableHostLookup::Abort(int id)
{
    aborted.push_back(id);
    if (const auto it = pending_.find(id); it != pending_.end())
        *it->second.live = false;
}

void TableHostLookup::Deliver(int id)
{
    if (const auto it = pending_.find(id); it != pending_.end())
        Answer(id, it->second, false);
}

void TableHostLookup::Answer(int id, const Pending& pending, bool unlessAborted) const
{
    const auto found = table.find(pending.name);
    const QList<QHostAddress> addresses = found == table.end() ? QList<QHostAddress>{} : found->second;
    if (!pending.context)
        return;
    // Queued on the context, so the answer never arrives inside Start and is
    // dropped with a context destroyed meanwhile.
    QMetaObject::invokeMethod(
        pending.context,
        [done = pending.done, live = pending.live, id, addresses, unlessAborted] {
            if (*live || !unlessAborted)
                done(id, addresses);
        },
        Qt::QueuedConnection);
}

HostLookup& HostLookupService()
{
    auto& current = Current();
    if (!current)
        current = std::make_unique<SystemHostLookup>();
    return *current;
}

std::unique_ptr<HostLookup> SetHostLookup(std::unique_ptr<HostLookup> lookup)
{
    auto& current = Current();
    std::unique_ptr<HostLookup> previous = std::move(current);
    current = std::move(lookup);
    return previous;
}

ScopedTableHostLookup::ScopedTableHostLookup()
{
    auto table = std::make_unique<TableHostLookup>();
    table_ = table.get();
    previous_ = SetHostLookup(std::move(table));
}

ScopedTableHostLookup::~ScopedTableHostLookup()
{
    SetHostLookup(std::move(previous_));
}

} // namespace settings
