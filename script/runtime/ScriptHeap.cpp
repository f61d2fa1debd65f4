#include "script/runtime/ScriptHeap.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>

#include "script/runtime/RuntimeError.h"

namespace orvet {

ScriptHeap::~ScriptHeap()
{
    for (char* chunk : chunks_)
        std::free(chunk);
}

int ScriptHeap::sizeClass(std::size_t size)
{
    if (size < 8)
        return 0;
    return std::min(int(std::bit_width(size)) - 3, kClassCount - 1);
}

std::size_t ScriptHeap::roundUp(std::size_t size)
{
    return std::bit_ceil(std::max<std::size_t>(size, 8));
}

void ScriptHeap::pushFree(char* block, std::size_t size)
{
    header(block) = static_cast<std::uint32_t>(size);
    auto* node = reinterpret_cast<FreeBlock*>(block);
    int c = sizeClass(size);
    node->next = freeLists_[c];
    freeLists_[c] = node;
    freeBytes_ += size;
}

void ScriptHeap::addChunk(std::size_t minimum)
{
    std::size_t size = std::max(kChunkSize, minimum + kHeaderSize);
    char* chunk = static_cast<char*>(std::malloc(size));
    if (!chunk)
        raiseOutOfMemory(owner_);
    chunks_.push_back(chunk);
    chunkSizes_.push_back(size);
    totalBytes_ += size;
    pushFree(chunk + kHeaderSize, size - kHeaderSize);
}

void* ScriptHeap::take(std::size_t request)
{
    if (request > kMaxBlock)
        raiseOutOfMemory(owner_);
    std::size_t size = roundUp(request);
    for (int attempt = 0; attempt < 2; ++attempt) {
        for (int c = sizeClass(size); c < kClassCount; ++c) {
            FreeBlock** link = &freeLists_[c];
            // Below the last class every block of a class at least as large
            // as the request's fits; the last class holds all sizes above.
            while (*link && blockSize(*link) < size)
                link = &(*link)->next;
            FreeBlock* found = *link;
            if (!found)
                continue;
            *link = found->next;
            char* block = reinterpret_cast<char*>(found);
            std::size_t have = blockSize(block);
            freeBytes_ -= have;
            if (have >= size + kHeaderSize + 8) {
                pushFree(block + size + kHeaderSize, have - size - kHeaderSize);
                have = size;
            }
            header(block) = static_cast<std::uint32_t>(have);
            allocatedSinceCollect_ += have;
            return block;
        }
        addChunk(size);
    }
    raiseOutOfMemory(owner_);
}

void* ScriptHeap::allocate(std::size_t size)
{
    return take(size);
}

void* ScriptHeap::allocateWithFinalizer(std::size_t size, Finalizer finalizer, bool late)
{
    void* block = take(std::max(size, sizeof(Finalizer)));
    (late ? lateFinalizable_ : finalizable_).push_back(block);
    std::memset(block, 0, blockSize(block));
    std::memcpy(block, &finalizer, sizeof finalizer);
    header(block) |= kFinalizerBit;
    return block;
}

void* ScriptHeap::resize(void* block, std::size_t size)
{
    if (!block)
        return allocate(size);
    std::size_t old = blockSize(block);
    if (old >= size)
        return block;
    void* moved = allocate(size);
    std::memcpy(moved, block, old);
    free(block);
    return moved;
}

void ScriptHeap::free(void* block)
{
    if (block)
        pushFree(static_cast<char*>(block), blockSize(block));
}

void ScriptHeap::runFinalizers(std::vector<void*>& blocks)
{
    // Finalizers may allocate (and so append to these lists) only in rare
    // cases; iterate by index and keep the survivors in place.
    std::size_t kept = 0;
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        void* block = blocks[i];
        if (isMarked(block)) {
            blocks[kept++] = block;
            continue;
        }
        header(block) &= ~kFinalizerBit;
        Finalizer finalizer;
        std::memcpy(&finalizer, block, sizeof finalizer);
        if (finalizer)
            finalizer(owner_, block);
    }
    blocks.resize(kept);
}

std::size_t ScriptHeap::sweep()
{
    runFinalizers(finalizable_);
    runFinalizers(lateFinalizable_);

    std::fill(std::begin(freeLists_), std::end(freeLists_), nullptr);
    freeBytes_ = 0;
    std::size_t live = 0;
    for (std::size_t i = 0; i < chunks_.size(); ++i) {
        char* block = chunks_[i] + kHeaderSize;
        char* end = chunks_[i] + chunkSizes_[i];
        while (block < end) {
            std::size_t size = blockSize(block);
            if (header(block) & kMarkBit) {
                header(block) &= ~kMarkBit;
                live += size + kHeaderSize;
                block += size + kHeaderSize;
                continue;
            }
            // Merge this dead or free block with every unmarked one after it.
            char* next = block + size + kHeaderSize;
            while (next < end && !(header(next) & kMarkBit))
                next += blockSize(next) + kHeaderSize;
            pushFree(block, static_cast<std::size_t>(next - block) - kHeaderSize);
            block = next;
        }
    }
    return live;
}

void ScriptHeap::collected(std::size_t liveBytes)
{
    ++collections_;
    allocatedSinceCollect_ = 0;
    threshold_ = std::max(kCollectThreshold, liveBytes);
}

} // namespace orvet
