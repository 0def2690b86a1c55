#include "physics/particles/voronoi_diagram.h"

#include "physics/common/stack_allocator.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// Grids beyond this many cells (about 256 x 256 particle spacings) are not
// built, so that scattered generators cannot claim unbounded scratch memory.
constexpr float maxCellCount = 512.0f * 512.0f;

} // namespace

// First in, first out, on top of the stack allocator; grows in place.
class phVoronoiDiagram::TaskQueue
{
public:
    TaskQueue(phStackAllocator* allocator, int32_t capacity)
        : m_allocator(allocator), m_tasks(static_cast<Task*>(allocator->Allocate(Bytes(capacity)))),
          m_capacity(capacity)
    {
    }
    TaskQueue(const TaskQueue&) = delete;
    TaskQueue& operator=(const TaskQueue&) = delete;
    ~TaskQueue() { m_allocator->Free(m_tasks); }

    void Push(const Task& task)
    {
        if (m_back == m_capacity) {
            if (m_front > m_capacity / 2) {
                // Most of the array is spent: move the waiting tasks down.
                std::memmove(m_tasks, m_tasks + m_front, static_cast<size_t>(Bytes(m_back - m_front)));
                m_back -= m_front;
                m_front = 0;
            } else {
                m_tasks = static_cast<Task*>(m_allocator->Reallocate(m_tasks, Bytes(2 * m_capacity)));
                m_capacity *= 2;
            }
        }
        m_tasks[m_back++] = task;
    }
    bool Pop(Task* task)
    {
        if (m_front == m_back) {
            return false;
        }
        *task = m_tasks[m_front++];
        return true;
    }

private:
    static int32_t Bytes(int32_t count) { return static_cast<int32_t>(sizeof(Task)) * count; }

    phStackAllocator* m_allocator;
    Task* m_tasks;
    int32_t m_capacity;
    int32_t m_front = 0;
    int32_t m_back = 0;
};

phVoronoiDiagram::phVoronoiDiagram(phStackAllocator* allocator, int32_t generatorCapacity)
    : m_allocator(allocator), m_generators(static_cast<Generator*>(allocator->Allocate(
                                  static_cast<int32_t>(sizeof(Generator)) * std::max(1, generatorCapacity)))),
      m_generatorCapacity(generatorCapacity)
{
}

phVoronoiDiagram::~phVoronoiDiagram()
{
    if (m_diagram != nullptr) {
        m_allocator->Free(m_diagram);
    }
    m_allocator->Free(m_generators);
}

void phVoronoiDiagram::AddGenerator(const phVector& center, int32_t tag, bool necessary)
{
    if (m_generatorCount < m_generatorCapacity && center.IsValid()) {
        m_generators[m_generatorCount++] = {center, tag, necessary};
    }
}

void phVoronoiDiagram::PushNeighbours(TaskQueue& queue, const Task& task) const
{
    if (task.x > 0) {
        queue.Push({task.x - 1, task.y, task.i - 1, task.generator});
    }
    if (task.y > 0) {
        queue.Push({task.x, task.y - 1, task.i - m_countX, task.generator});
    }
    if (task.x < m_countX - 1) {
        queue.Push({task.x + 1, task.y, task.i + 1, task.generator});
    }
    if (task.y < m_countY - 1) {
        queue.Push({task.x, task.y + 1, task.i + m_countX, task.generator});
    }
}

void phVoronoiDiagram::Generate(float radius, float margin)
{
    phVector lower(phMaxFloat, phMaxFloat);
    phVector upper(-phMaxFloat, -phMaxFloat);
    int32_t necessaryCount = 0;
    for (int32_t k = 0; k < m_generatorCount; ++k) {
        if (m_generators[k].necessary) {
            lower = phMin(lower, m_generators[k].center);
            upper = phMax(upper, m_generators[k].center);
            ++necessaryCount;
        }
    }
    if (necessaryCount == 0 || m_diagram != nullptr) {
        return;
    }
    lower -= phVector(margin, margin);
    upper += phVector(margin, margin);
    const float inverseRadius = 1.0f / radius;
    const float width = std::floor((upper.x - lower.x) * inverseRadius) + 1.0f;
    const float height = std::floor((upper.y - lower.y) * inverseRadius) + 1.0f;
    if (!(width * height <= maxCellCount)) {
        return;
    }
    m_countX = static_cast<int32_t>(width);
    m_countY = static_cast<int32_t>(height);
    const int32_t cellCount = m_countX * m_countY;
    m_diagram =
        static_cast<Generator**>(m_allocator->Allocate(static_cast<int32_t>(sizeof(Generator*)) * cellCount));
    std::fill_n(m_diagram, cellCount, nullptr);

    TaskQueue queue(m_allocator, 4 * cellCount);
    for (int32_t k = 0; k < m_generatorCount; ++k) {
        Generator& g = m_generators[k];
        g.center = inverseRadius * (g.center - lower);
        if (0.0f <= g.center.x && g.center.x < width && 0.0f <= g.center.y && g.center.y < height) {
            const auto x = static_cast<int32_t>(g.center.x);
            const auto y = static_cast<int32_t>(g.center.y);
            queue.Push({x, y, x + y * m_countX, &g});
        }
    }
    // Flood fill: every cell goes to the first generator that reaches it.
    Task task{};
    while (queue.Pop(&task)) {
        if (m_diagram[task.i] == nullptr) {
            m_diagram[task.i] = task.generator;
            PushNeighbours(queue, task);
        }
    }
    // Boundaries: each side of a border is offered the other side's generator.
    for (int32_t y = 0; y < m_countY; ++y) {
        for (int32_t x = 0; x < m_countX - 1; ++x) {
            const int32_t i = x + y * m_countX;
            Generator* const a = m_diagram[i];
            Generator* const b = m_diagram[i + 1];
            if (a != b) {
                queue.Push({x, y, i, b});
                queue.Push({x + 1, y, i + 1, a});
            }
        }
    }
    for (int32_t y = 0; y < m_countY - 1; ++y) {
        for (int32_t x = 0; x < m_countX; ++x) {
            const int32_t i = x + y * m_countX;
            const int32_t j = i + m_countX;
            Generator* const a = m_diagram[i];
            Generator* const b = m_diagram[j];
            if (a != b) {
                queue.Push({x, y, i, b});
                queue.Push({x, y + 1, j, a});
            }
        }
    }
    // Refinement: a cell moves to a strictly nearer generator, whose claim then
    // spreads to the neighbours.
    while (queue.Pop(&task)) {
        Generator* const a = m_diagram[task.i];
        Generator* const b = task.generator;
        if (a == b) {
            continue;
        }
        const phVector corner(static_cast<float>(task.x), static_cast<float>(task.y));
        if (a == nullptr || phDistanceSquared(b->center, corner) < phDistanceSquared(a->center, corner)) {
            m_diagram[task.i] = b;
            PushNeighbours(queue, task);
        }
    }
}

void phVoronoiDiagram::GetNodes(NodeCallback& callback) const
{
    if (m_diagram == nullptr) {
        return;
    }
    for (int32_t y = 0; y < m_countY - 1; ++y) {
        for (int32_t x = 0; x < m_countX - 1; ++x) {
            const int32_t i = x + y * m_countX;
            const Generator* const a = m_diagram[i];
            const Generator* const b = m_diagram[i + 1];
            const Generator* const c = m_diagram[i + m_countX];
            const Generator* const d = m_diagram[i + 1 + m_countX];
            if (b == c) {
                continue;
            }
            if (a != b && a != c && (a->necessary || b->necessary || c->necessary)) {
                callback(a->tag, b->tag, c->tag);
            }
            if (d != b && d != c && (b->necessary || d->necessary || c->necessary)) {
                callback(b->tag, d->tag, c->tag);
            }
        }
    }
}
