#pragma once
// Host-name lookups for the time query, behind one small interface so tests can
// answer them without asking a name server. The process uses the system's
// resolver (SystemHostLookup, QHostInfo) unless a test installs another, usually
// a TableHostLookup. Lookups run asynchronously: Start returns at once and the
// answer arrives later through the event loop, on the GUI thread, never inside
// Start itself.
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <map>
#include <memory>
#include <vector>

namespace settings {

class HostLookup
{
public:
    // The addresses of the name, empty when it does not resolve.
    using Done = std::function<void(int id, const QList<QHostAddress>& addresses)>;

    virtual ~HostLookup() = default;
    // Starts looking up name; done runs later with the lookup's id, unless the
    // lookup is aborted first or context is destroyed. Returns the id (> 0).
    virtual int Start(const QString& name, QObject* context, Done done) = 0;
    // Stops a lookup; its answer is not delivered. Unknown ids are ignored.
    virtual void Abort(int id) = 0;
};

// QHostInfo::lookupHost on Qt's resolver threads.
class SystemHostLookup final : public HostLookup
{
public:
    int Start(const QString& name, QObject* context, Done done) override;
    void Abort(int id) override;
};

// The test double: answers from a table (names missing from it do not resolve),
// through the event loop. With holdAnswers set, answers wait until Deliver.
class TableHostLookup final : public HostLookup
{
public:
    std::map<QString, QList<QHostAddress>> table;
    bool holdAnswers = false;
    std::vector<QString> asked; // every name started, in order
    std::vector<int> aborted;   // every id aborted, in order

    int Start(const QString& name, QObject* context, Done done) override;
    void Abort(int id) override;
    // Delivers the held answer of a lookup now, even one aborted meanwhile: an
    // answer already on its way when the abort came.
    void Deliver(int id);
    // The id of the newest lookup (0 before the first).
    int LastId() const { return nextId_ - 1; }

private:
    struct Pending
    {
        QString name;
        QPointer<QObject> context;
        Done done;
        std::shared_ptr<bool> live; // false once aborted
    };
    void Answer(int id, const Pending& pending, bool unlessAborted) const;

    int nextId_ = 1;
    std::map<int, Pending> pending_;
};

// The process-wide lookup (a SystemHostLookup until replaced).
HostLookup& HostLookupService();
// Installs a lookup for the whole process and returns the previous one; null
// puts a SystemHostLookup back.
std::unique_ptr<HostLookup> SetHostLookup(std::unique_ptr<HostLookup> lookup);

// Installs a TableHostLookup for the life of the object (tests).
class ScopedTableHostLookup
{
public:
    ScopedTableHostLookup();
    ~ScopedTableHostLookup();
    ScopedTableHostLookup(const ScopedTableHostLookup&) = delete;
    ScopedTableHostLookup& operator=(const ScopedTableHostLookup&) = delete;

    TableHostLookup* operator->() const { return table_; }
    TableHostLookup& operator*() const { return *table_; }

private:
    TableHostLookup* table_;
    std::unique_ptr<HostLookup> previous_;
};

} // namespace settings
