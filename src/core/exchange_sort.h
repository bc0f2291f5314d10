#pragma once
// The exchange sort that defines the list's order, with the same result for every
// input but without its quadratic cost on lists that are nearly in order.

#include <cstdint>
#include <limits>
#include <vector>

namespace quill {

// How an element takes part in the exchange sort: a later element j is below an
// earlier element i (the pair is out of order) when j.key < i.bound. For an order
// by one number key and bound are that number; a bound of kNothingBelow makes an
// element that nothing is below. Every ordering rule of the list has this form.
struct ExchangeKey {
    static constexpr int64_t kNothingBelow = std::numeric_limits<int64_t>::min();
    int64_t key = 0;
    int64_t bound = 0;
};

// The exchange sort over positions a to b of `order`, whose entries are element
// numbers indexing `keys`: for i from a to b - 1, for j from i + 1 to b, exchange
// order[i] and order[j] when keys[order[j]].key < keys[order[i]].bound. Leaves
// exactly the arrangement those exchanges leave, for any keys and bounds (the
// source says why): O(m log m) for m elements when bound == key for every one,
// otherwise O((links + 1) log m) per position i, links being how many exchanges
// the position makes. A range in which nothing would move costs one scan.
void ExchangeSort(std::vector<int32_t>& order, int a, int b, const std::vector<ExchangeKey>& keys);

// The same, keeping its working memory from one sort to the next: the list's
// sort runs one exchange sort for every group of equal keys.
class ExchangeSorter {
public:
    void Sort(std::vector<int32_t>& order, int a, int b, const std::vector<ExchangeKey>& keys);

private:
    void SortPlainOrder(std::vector<int32_t>& order, int a, int b,
                        const std::vector<ExchangeKey>& keys);
    void PlaceGroup(int g, int count);
    void PlaceGroupBySlots(int g, int count);

    std::vector<int64_t> keys_;     // by position in the range
    std::vector<int32_t> dense_;    // by position: the key's index among 0..K-1
    std::vector<int32_t> before_;   // by position: smaller keys at earlier positions
    std::vector<int32_t> byKey_;    // positions by (key, position)
    std::vector<int32_t> counts_;   // per dense key
    std::vector<int32_t> tree_;     // Fenwick sums, per dense key or per slot
    std::vector<int32_t> placed_;   // positions in their sorted places
    std::vector<int64_t> distinct_; // keys when they are too far apart to index
    std::vector<int64_t> insertAt_;
    std::vector<int32_t> cycle_;
    struct Segment {
        int32_t from; // index in the group, in position order
        int32_t count;
    };
    std::vector<Segment> segments_;
};

} // namespace quill
