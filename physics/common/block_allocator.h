// Small-block allocator for long-lived engine records: 14 size classes carved
// from 16 KB chunks, and a ring of plain heap blocks for anything larger.
#pragma once

#include <cstddef>
#include <cstdint>

inline constexpr int32_t phChunkSize = 16 * 1024;
inline constexpr int32_t phMaxBlockSize = 640;
inline constexpr int32_t phBlockSizeCount = 14;
inline constexpr int32_t phChunkArrayIncrement = 128;

// A ring of heap blocks, each preceded by its link node.
class phBlockRing
{
public:
    struct Node
    {
        Node* prev;
        Node* next;
    };

    phBlockRing() { m_sentinel.prev = m_sentinel.next = &m_sentinel; }
    phBlockRing(const phBlockRing&) = delete;
    phBlockRing& operator=(const phBlockRing&) = delete;
    ~phBlockRing() { FreeAll(); }

    // A heap block of at least size bytes, 32-byte aligned, linked at the end.
    void* Allocate(size_t size);
    // Unlinks and frees a block from Allocate.
    void Free(void* block);
    // Unlinks and frees every block; the ring is empty afterwards.
    void FreeAll();
    bool IsEmpty() const { return m_sentinel.next == &m_sentinel; }
    int32_t GetCount() const;

private:
    Node m_sentinel;
};

class phBlockAllocator
{
public:
    phBlockAllocator();
    phBlockAllocator(const phBlockAllocator&) = delete;
    phBlockAllocator& operator=(const phBlockAllocator&) = delete;
    // Frees every chunk and large block, including blocks still handed out.
    ~phBlockAllocator();

    // Null for size 0. The block must go back with the same size.
    void* Allocate(int32_t size);
    void Free(void* block, int32_t size);

    // Index of the size class that serves a request of 1 to 640 bytes.
    static int32_t GetSizeClass(int32_t size);
    static int32_t GetClassSize(int32_t sizeClass);

    int32_t GetChunkCount() const { return m_chunkCount; }
    int32_t GetChunkCapacity() const { return m_chunkCapacity; }
    int32_t GetLargeBlockCount() const { return m_large.GetCount(); }

private:
    struct Chunk
    {
        int32_t blockSize;
        void* blocks;
    };
    struct Block
    {
        Block* next;
    };

    Block* NewChunk(int32_t sizeClass);

    Chunk* m_chunks;
    int32_t m_chunkCount;
    int32_t m_chunkCapacity;
    Block* m_freeLists[phBlockSizeCount];
    phBlockRing m_large;
};
