// A Voronoi diagram of particle positions on a grid: each cell belongs to the
// nearest generator, and wherever three generators' regions meet at a 2 x 2
// block of cells, their particles form a triangle (a node). All memory comes
// from the world's stack allocator and is released by the destructor.
#pragma once

#include "physics/common/math.h"

#include <cstdint>

class phStackAllocator;

class phVoronoiDiagram
{
public:
    // Receives the particle indices of the three generators of a node.
    class NodeCallback
    {
    public:
        virtual ~NodeCallback() = default;
        virtual void operator()(int32_t a, int32_t b, int32_t c) = 0;
    };

    phVoronoiDiagram(phStackAllocator* allocator, int32_t generatorCapacity);
    phVoronoiDiagram(const phVoronoiDiagram&) = delete;
    phVoronoiDiagram& operator=(const phVoronoiDiagram&) = delete;
    ~phVoronoiDiagram();

    // A node is reported only when one of its generators is necessary.
    void AddGenerator(const phVector& center, int32_t tag, bool necessary);
    // Builds the grid of cells of size radius over the necessary generators'
    // bounds grown by margin.
    void Generate(float radius, float margin);
    void GetNodes(NodeCallback& callback) const;

    int32_t GetGridWidth() const { return m_countX; }
    int32_t GetGridHeight() const { return m_countY; }

private:
    struct Generator
    {
        phVector center; // grid units after Generate
        int32_t tag;
        bool necessary;
    };
    struct Task
    {
        int32_t x;
        int32_t y;
        int32_t i; // cell index
        Generator* generator;
    };
    class TaskQueue;

    // Queues the four neighbours of cell (x, y) that lie in the grid.
    void PushNeighbours(TaskQueue& queue, const Task& task) const;

    phStackAllocator* m_allocator;
    Generator* m_generators;
    int32_t m_generatorCapacity;
    int32_t m_generatorCount = 0;
    int32_t m_countX = 0;
    int32_t m_countY = 0;
    Generator** m_diagram = nullptr;
};
