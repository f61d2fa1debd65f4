// The per-context allocator: memory taken from the system in chunks and cut
// into blocks of power-of-two sizes kept on segregated free lists. Every block
// has a header with its size, the mark bit of the collector and a finalizer
// flag. A block with a finalizer was zero-filled at allocation and begins with
// a Finalizer routine that the sweep calls when the block dies.
//
// Blocks of kLargeBlock bytes or more live apart from the chunks, each in its
// own allocation from the system: they are rounded to whole pages rather than
// to a power of two, grow in place where the system can (an array of a
// million elements doubling its storage moves no bytes), and go back to the
// system as soon as they are freed or die. Kept in chunks, every size a
// growing array passed through stayed reserved for sizes nothing asked for
// again.
//
// The heap never collects on its own: the interpreter decides when
// (Collector.h). Allocation failures call the heap's out-of-memory handler,
// which raises the runtime error "Out of memory".
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace orvet {

struct ScriptContext;

using Finalizer = void (*)(ScriptContext& ctx, void* block);

class ScriptHeap {
public:
    static constexpr std::size_t kChunkSize = 102400;
    static constexpr std::size_t kCollectThreshold = 0x200000;
    static constexpr std::size_t kMaxBlock = std::size_t(1) << 30;
    static constexpr std::size_t kLargeBlock = 65536;

    explicit ScriptHeap(ScriptContext& owner) : owner_(owner) {}
    ~ScriptHeap();
    ScriptHeap(const ScriptHeap&) = delete;
    ScriptHeap& operator=(const ScriptHeap&) = delete;

    void* allocate(std::size_t size);
    // Zero-filled; the first word of the block is set to the finalizer.
    // Late finalizers run after all others of the same sweep (class records,
    // which instances still use while they die).
    void* allocateWithFinalizer(std::size_t size, Finalizer finalizer, bool late = false);
    // Keeps the block when it is large enough; otherwise moves the contents.
    void* resize(void* block, std::size_t size);
    // Returns a block the caller knows to be unreachable (not one with a
    // finalizer).
    void free(void* block);

    static std::size_t blockSize(const void* block) { return header(block) & ~kFlagBits; }
    // Sets the mark bit; true when the block was not marked before.
    static bool mark(const void* block)
    {
        std::uint32_t& h = header(block);
        if (h & kMarkBit)
            return false;
        h |= kMarkBit;
        return true;
    }
    static bool isMarked(const void* block) { return header(block) & kMarkBit; }

    // Finalizes and frees every unmarked block, unmarks the rest and rebuilds
    // the free lists. Returns the bytes still in use.
    std::size_t sweep();

    bool collectionDue() const { return allocatedSinceCollect_ >= threshold_; }
    // After a collection: restart the allocation count. The next collection
    // is due after as many bytes as survived, and at least after the fixed
    // threshold, so that collection work stays proportional to allocation.
    void collected(std::size_t liveBytes);

    std::size_t totalBytes() const { return totalBytes_; }
    std::size_t freeBytes() const { return freeBytes_; }
    std::size_t allocatedSinceCollect() const { return allocatedSinceCollect_; }
    std::uint32_t collections() const { return collections_; }

private:
    static constexpr std::uint32_t kMarkBit = 1;
    static constexpr std::uint32_t kFinalizerBit = 2;
    static constexpr std::uint32_t kLargeBit = 4; // block sizes are multiples of 8
    static constexpr std::uint32_t kFlagBits = 7;
    static constexpr std::size_t kPageSize = 4096;
    static constexpr int kClassCount = 20;
    static constexpr std::size_t kHeaderSize = 8; // keeps blocks 8-byte aligned

    struct FreeBlock {
        FreeBlock* next;
    };

    static std::uint32_t& header(const void* block)
    {
        return *reinterpret_cast<std::uint32_t*>(const_cast<char*>(static_cast<const char*>(block)) - kHeaderSize);
    }
    static int sizeClass(std::size_t size);
    static std::size_t roundUp(std::size_t size);

    void* take(std::size_t size);
    // Takes the first block of class c that holds size off its list (it
    // still counts as free), or null.
    char* popFree(int c, std::size_t size);
    // Makes the front of a free block a block of size, and returns the rest
    // as a free block on no list (null when too small to be one).
    char* cut(char* block, std::size_t size);
    void* takeLarge(std::size_t size);
    void* resizeLarge(void* block, std::size_t size);
    void freeLarge(void* block);
    // The entry of large_ that holds the block.
    std::vector<char*>::iterator findLarge(const void* block);
    std::size_t sweepLarge(); // returns the bytes still in use
    void addChunk(std::size_t minimum);
    // counted: the block is not yet among the free bytes.
    void pushFree(char* block, std::size_t size, bool counted = true);
    void runFinalizers(std::vector<void*>& blocks);

    ScriptContext& owner_;
    std::vector<char*> chunks_;
    std::vector<std::size_t> chunkSizes_;
    std::vector<char*> large_; // the allocations of the large blocks (header first)
    FreeBlock* freeLists_[kClassCount] = {};
    // A free block on no list that small requests are cut from in address
    // order, so that a burst of allocations costs a header write each rather
    // than a search of the size classes and a free-list push for every cut.
    char* run_ = nullptr;
    std::vector<void*> finalizable_;
    std::vector<void*> lateFinalizable_;
    std::size_t totalBytes_ = 0;
    std::size_t freeBytes_ = 0;
    std::size_t allocatedSinceCollect_ = 0;
    std::size_t threshold_ = kCollectThreshold;
    std::uint32_t collections_ = 0;
};

} // namespace orvet
