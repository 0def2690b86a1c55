#include "physics/collision/shape.h"

#include "physics/common/block_allocator.h"

#include <new>

namespace {
template <typename T> phShape* CloneInto(const T& shape, phBlockAllocator* allocator)
{
    return new (allocator->Allocate(static_cast<int32_t>(sizeof(T)))) T(shape);
}

template <typename T> void DestroyAs(phShape* shape, phBlockAllocator* allocator)
{
    static_cast<T*>(shape)->~T();
    allocator->Free(shape, static_cast<int32_t>(sizeof(T)));
}
} // namespace

phShape* phCircleShape::Clone(phBlockAllocator* allocator) const
{
    return CloneInto(*this, allocator);
}
phShape* phEdgeShape::Clone(phBlockAllocator* allocator) const
{
    return CloneInto(*this, allocator);
}
phShape* phPolygonShape::Clone(phBlockAllocator* allocator) const
{
    return CloneInto(*this, allocator);
}

void phShape::DestroyClone(phShape* shape, phBlockAllocator* allocator)
{
    switch (shape->m_kind) {
    case circle:
        DestroyAs<phCircleShape>(shape, allocator);
        break;
    case edge:
        DestroyAs<phEdgeShape>(shape, allocator);
        break;
    case polygon:
        DestroyAs<phPolygonShape>(shape, allocator);
        break;
    default:
        // No other kind has a clone in this engine; run the destructor, the
        // block goes with the allocator.
        shape->~phShape();
        break;
    }
}
