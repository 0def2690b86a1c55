#pragma once
// A fixed pool of pre-built objects that are handed out and taken back instead
// of being created and destroyed while an animation runs.
//
// The pool owns every object added to it. Its slot table keeps the free objects
// in the entries from the in-use count up to the number of objects; acquire
// hands out the entry at the count, release puts an object back there. The
// in-use count is also the number of live objects a demo shows.
#include <memory>
#include <vector>

class ObjectPool;

class PoolableObject
{
public:
    virtual ~PoolableObject() = default;
    // Back to the state of a fresh object; called when it returns to its pool.
    virtual void reset() = 0;

    bool inUse = false;
    ObjectPool* pool = nullptr; // the owning pool, set when it is added
};

class ObjectPool
{
public:
    static constexpr int kCapacity = 4096;

    explicit ObjectPool(int capacity = kCapacity);
    ~ObjectPool();
    ObjectPool(const ObjectPool&) = delete;
    ObjectPool& operator=(const ObjectPool&) = delete;

    // Takes ownership of a new free object; false (and the object goes) when the
    // pool already holds its capacity.
    bool add(std::unique_ptr<PoolableObject> object);
    // A free object, now in use; null when every object is in use.
    PoolableObject* acquire();
    // An object of this pool that is in use is reset and free again; anything
    // else is left alone.
    void release(PoolableObject& object);

    int capacity() const { return m_capacity; }
    int inUseCount() const { return m_inUse; }

private:
    const int m_capacity;
    std::vector<PoolableObject*> m_slots; // [0, m_inUse) stale, [m_inUse, size) free
    int m_inUse = 0;
    std::vector<std::unique_ptr<PoolableObject>> m_objects; // every object, owned
};
