// The stable merge sort of Array.prototype.sort: top-down over [lo, hi] with
// a scratch array, mid rounded down; a merge takes from the left run unless
// the comparison answers "greater". The comparison may call script code and
// raise a runtime error, which leaves `items` partly overwritten: callers sort
// a copy and store it back only when the sort completes.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

namespace orvet {

namespace detail {

template <typename T, typename Greater>
void mergeSortRange(std::span<T> items, std::vector<T>& scratch, std::size_t lo, std::size_t hi,
                    Greater& greater)
{
    if (lo >= hi)
        return;
    const std::size_t mid = lo + (hi - lo) / 2;
    mergeSortRange(items, scratch, lo, mid, greater);
    mergeSortRange(items, scratch, mid + 1, hi, greater);

    for (std::size_t i = lo; i <= hi; ++i)
        scratch[i] = items[i];
    std::size_t left = lo, right = mid + 1, out = lo;
    while (left <= mid && right <= hi)
        items[out++] = greater(scratch[left], scratch[right]) ? scratch[right++] : scratch[left++];
    while (left <= mid)
        items[out++] = scratch[left++];
    while (right <= hi)
        items[out++] = scratch[right++];
}

} // namespace detail

// greater(a, b) answers whether a must come after b.
template <typename T, typename Greater>
void mergeSort(std::span<T> items, Greater greater)
{
    if (items.size() < 2)
        return;
    std::vector<T> scratch(items.begin(), items.end());
    detail::mergeSortRange(items, scratch, 0, items.size() - 1, greater);
}

} // namespace orvet
