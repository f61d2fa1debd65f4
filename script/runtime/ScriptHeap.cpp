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
    for (char* allocation : large_)
        std::free(allocation);
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

void ScriptHeap::pushFree(char* block, std::size_t size, bool counted)
{
    header(block) = static_cast<std::uint32_t>(size);
    auto* node = reinterpret_cast<FreeBlock*>(block);
    int c = sizeClass(size);
    node->next = freeLists_[c];
    freeLists_[c] = node;
    if (counted)
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
    if (request >= kLargeBlock)
        return takeLarge(request);
    const std::size_t size = roundUp(request);
    const int own = sizeClass(size);
    for (int attempt = 0; attempt < 2; ++attempt) {
        // A freed block of the request's own size class first: reusing them
        // keeps the heap small.
        if (char* block = popFree(own, size)) {
            if (char* rest = cut(block, size))
                pushFree(rest, blockSize(rest), false);
            return block;
        }
        if (run_ && blockSize(run_) >= size) {
            char* block = run_;
            run_ = cut(block, size);
            return block;
        }
        // A larger block becomes the run; the old run, too small for this
        // request, goes to its free list.
        for (int c = own + 1; c < kClassCount; ++c) {
            if (char* block = popFree(c, size)) {
                if (run_)
                    pushFree(run_, blockSize(run_), false);
                run_ = cut(block, size);
                return block;
            }
        }
        addChunk(size);
    }
    raiseOutOfMemory(owner_);
}

char* ScriptHeap::popFree(int c, std::size_t size)
{
    // Below the last class every block of a class at least as large as the
    // request's fits; the last class holds all sizes above.
    FreeBlock** link = &freeLists_[c];
    while (*link && blockSize(*link) < size)
        link = &(*link)->next;
    FreeBlock* found = *link;
    if (found)
        *link = found->next;
    return reinterpret_cast<char*>(found);
}

char* ScriptHeap::cut(char* block, std::size_t size)
{
    std::size_t have = blockSize(block);
    char* rest = nullptr;
    if (have >= size + kHeaderSize + 8) {
        rest = block + size + kHeaderSize;
        header(rest) = static_cast<std::uint32_t>(have - size - kHeaderSize);
        freeBytes_ -= size + kHeaderSize;
        have = size;
    } else {
        freeBytes_ -= have;
    }
    header(block) = static_cast<std::uint32_t>(have);
    allocatedSinceCollect_ += have;
    return rest;
}

void* ScriptHeap::takeLarge(std::size_t request)
{
    const std::size_t size = (request + kPageSize - 1) / kPageSize * kPageSize;
    large_.reserve(large_.size() + 1);
    char* allocation = static_cast<char*>(std::malloc(size + kHeaderSize));
    if (!allocation)
        raiseOutOfMemory(owner_);
    large_.push_back(allocation);
    char* block = allocation + kHeaderSize;
    header(block) = static_cast<std::uint32_t>(size) | kLargeBit;
    totalBytes_ += size + kHeaderSize;
    allocatedSinceCollect_ += size;
    return block;
}

std::vector<char*>::iterator ScriptHeap::findLarge(const void* block)
{
    // Newest first: a block that grows or dies young is near the end.
    const char* allocation = static_cast<const char*>(block) - kHeaderSize;
    auto it = large_.end();
    while (it != large_.begin())
        if (*--it == allocation)
            return it;
    return large_.end();
}

void* ScriptHeap::resizeLarge(void* block, std::size_t request)
{
    if (request > kMaxBlock)
        raiseOutOfMemory(owner_);
    const std::size_t old = blockSize(block);
    const std::size_t size = (request + kPageSize - 1) / kPageSize * kPageSize;
    auto entry = findLarge(block);
    char* allocation = static_cast<char*>(std::realloc(*entry, size + kHeaderSize));
    if (!allocation)
        raiseOutOfMemory(owner_);
    *entry = allocation;
    char* moved = allocation + kHeaderSize;
    header(moved) = static_cast<std::uint32_t>(size) | (header(moved) & kFlagBits);
    totalBytes_ += size - old;
    allocatedSinceCollect_ += size - old;
    return moved;
}

void ScriptHeap::freeLarge(void* block)
{
    auto entry = findLarge(block);
    totalBytes_ -= blockSize(block) + kHeaderSize;
    std::free(*entry);
    *entry = large_.back();
    large_.pop_back();
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
    if (header(block) & kLargeBit)
        return resizeLarge(block, size);
    void* moved = allocate(size);
    std::memcpy(moved, block, old);
    free(block);
    return moved;
}

void ScriptHeap::free(void* block)
{
    if (!block)
        return;
    if (header(block) & kLargeBit)
        freeLarge(block);
    else
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
    std::size_t live = sweepLarge();

    // The run is an unmarked block like any free one: the walk below merges it.
    run_ = nullptr;
    std::fill(std::begin(freeLists_), std::end(freeLists_), nullptr);
    freeBytes_ = 0;
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

std::size_t ScriptHeap::sweepLarge()
{
    std::size_t live = 0;
    std::size_t kept = 0;
    for (char* allocation : large_) {
        char* block = allocation + kHeaderSize;
        if (header(block) & kMarkBit) {
            header(block) &= ~kMarkBit;
            live += blockSize(block) + kHeaderSize;
            large_[kept++] = allocation;
        } else {
            totalBytes_ -= blockSize(block) + kHeaderSize;
            std::free(allocation);
        }
    }
    large_.resize(kept);
    return live;
}

void ScriptHeap::collected(std::size_t liveBytes)
{
    ++collections_;
    allocatedSinceCollect_ = 0;
    threshold_ = std::max(kCollectThreshold, liveBytes);
}

} // namespace orvet
