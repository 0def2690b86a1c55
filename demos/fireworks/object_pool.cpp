#include "demos/fireworks/object_pool.h"

#include <algorithm>

ObjectPool::ObjectPool(int capacity) : m_capacity(std::max(capacity, 0))
{
    m_slots.reserve(static_cast<std::size_t>(m_capacity));
    m_objects.reserve(static_cast<std::size_t>(m_capacity));
}

ObjectPool::~ObjectPool() = default;

bool ObjectPool::add(std::unique_ptr<PoolableObject> object)
{
    if (!object || static_cast<int>(m_objects.size()) >= m_capacity)
        return false;
    object->inUse = false;
    object->pool = this;
    m_slots.push_back(object.get());
    m_objects.push_back(std::move(object));
    return true;
}

PoolableObject* ObjectPool::acquire()
{
    if (m_inUse >= static_cast<int>(m_slots.size()))
        return nullptr;
    PoolableObject* const object = m_slots[static_cast<std::size_t>(m_inUse)];
    object->inUse = true;
    ++m_inUse;
    return object;
}

void ObjectPool::release(PoolableObject& object)
{
    if (!object.inUse || object.pool != this)
        return;
    object.reset();
    object.inUse = false;
    --m_inUse;
    m_slots[static_cast<std::size_t>(m_inUse)] = &object;
}
