#include "physics/common/block_allocator.h"

#include "physics/common/allocation.h"

#include <array>
#include <cstring>

namespace {

constexpr std::array<int32_t, phBlockSizeCount> classSizes = {16,  32,  64,  96,  128, 160, 192,
                                                              224, 256, 320, 384, 448, 512, 640};

// Request size (0 to 640) to the first class that is large enough.
constexpr std::array<uint8_t, phMaxBlockSize + 1> BuildSizeTable()
{
    std::array<uint8_t, phMaxBlockSize + 1> table{};
    int32_t sizeClass = 0;
    for (int32_t size = 1; size <= phMaxBlockSize; ++size) {
        if (size > classSizes[sizeClass]) {
            ++sizeClass;
        }
        table[size] = static_cast<uint8_t>(sizeClass);
    }
    return table;
}

constexpr std::array<uint8_t, phMaxBlockSize + 1> sizeTable = BuildSizeTable();

// A large block keeps its ring node at its start and its start address just
// before the aligned address handed out.
constexpr size_t largeBlockOverhead = 56;
constexpr uintptr_t largeBlockAlignment = 32;

} // namespace

void* phBlockRing::Allocate(size_t size)
{
    auto* const start = static_cast<char*>(phAlloc(size + largeBlockOverhead));
    auto* const node = reinterpret_cast<Node*>(start);
    node->prev = m_sentinel.prev;
    node->next = &m_sentinel;
    m_sentinel.prev->next = node;
    m_sentinel.prev = node;
    const uintptr_t aligned =
        (reinterpret_cast<uintptr_t>(start) + largeBlockOverhead - 1) & ~(largeBlockAlignment - 1);
    auto* const block = reinterpret_cast<char*>(aligned);
    std::memcpy(block - sizeof(char*), &start, sizeof(char*));
    return block;
}

void phBlockRing::Free(void* block)
{
    char* start = nullptr;
    std::memcpy(&start, static_cast<char*>(block) - sizeof(char*), sizeof(char*));
    auto* const node = reinterpret_cast<Node*>(start);
    node->prev->next = node->next;
    node->next->prev = node->prev;
    phFree(start);
}

void phBlockRing::FreeAll()
{
    Node* node = m_sentinel.next;
    while (node != &m_sentinel) {
        Node* const next = node->next;
        phFree(node);
        node = next;
    }
    m_sentinel.prev = m_sentinel.next = &m_sentinel;
}

int32_t phBlockRing::GetCount() const
{
    int32_t count = 0;
    for (const Node* node = m_sentinel.next; node != &m_sentinel; node = node->next) {
        ++count;
    }
    return count;
}

phBlockAllocator::phBlockAllocator()
    : m_chunks(static_cast<Chunk*>(phAlloc(sizeof(Chunk) * phChunkArrayIncrement))), m_chunkCount(0),
      m_chunkCapacity(phChunkArrayIncrement), m_freeLists{}
{
    std::memset(m_chunks, 0, sizeof(Chunk) * phChunkArrayIncrement);
}

phBlockAllocator::~phBlockAllocator()
{
    for (int32_t i = 0; i < m_chunkCount; ++i) {
        phFree(m_chunks[i].blocks);
    }
    phFree(m_chunks);
}

int32_t phBlockAllocator::GetSizeClass(int32_t size)
{
    return sizeTable[static_cast<size_t>(size)];
}

int32_t phBlockAllocator::GetClassSize(int32_t sizeClass)
{
    return classSizes[static_cast<size_t>(sizeClass)];
}

void* phBlockAllocator::Allocate(int32_t size)
{
    if (size <= 0) {
        return nullptr;
    }
    if (size > phMaxBlockSize) {
        return m_large.Allocate(static_cast<size_t>(size));
    }
    const int32_t sizeClass = GetSizeClass(size);
    if (Block* const block = m_freeLists[sizeClass]) {
        m_freeLists[sizeClass] = block->next;
        return block;
    }
    return NewChunk(sizeClass);
}

phBlockAllocator::Block* phBlockAllocator::NewChunk(int32_t sizeClass)
{
    if (m_chunkCount == m_chunkCapacity) {
        Chunk* const old = m_chunks;
        m_chunkCapacity += phChunkArrayIncrement;
        m_chunks = static_cast<Chunk*>(phAlloc(sizeof(Chunk) * static_cast<size_t>(m_chunkCapacity)));
        std::memcpy(m_chunks, old, sizeof(Chunk) * static_cast<size_t>(m_chunkCount));
        std::memset(m_chunks + m_chunkCount, 0, sizeof(Chunk) * phChunkArrayIncrement);
        phFree(old);
    }
    const int32_t blockSize = classSizes[static_cast<size_t>(sizeClass)];
    auto* const memory = static_cast<char*>(phAlloc(phChunkSize));
    const int32_t blockCount = phChunkSize / blockSize;
    for (int32_t i = 0; i < blockCount - 1; ++i) {
        reinterpret_cast<Block*>(memory + blockSize * i)->next =
            reinterpret_cast<Block*>(memory + blockSize * (i + 1));
    }
    reinterpret_cast<Block*>(memory + blockSize * (blockCount - 1))->next = nullptr;
    m_chunks[m_chunkCount++] = {blockSize, memory};
    auto* const first = reinterpret_cast<Block*>(memory);
    m_freeLists[sizeClass] = first->next;
    return first;
}

void phBlockAllocator::Free(void* block, int32_t size)
{
    if (size <= 0 || block == nullptr) {
        return;
    }
    if (size > phMaxBlockSize) {
        m_large.Free(block);
        return;
    }
    const int32_t sizeClass = GetSizeClass(size);
    auto* const node = static_cast<Block*>(block);
    node->next = m_freeLists[sizeClass];
    m_freeLists[sizeClass] = node;
}
