#include "exchange_sort.h"

#include <algorithm>
#include <limits>
#include <utility>

// Why the result is the same as the literal double loop.
//
// Take the pass for one i. Its inner loop writes only positions i and j, and j
// only grows, so when j reaches a position that position still holds what it held
// when the pass began. Position i holds the "current" element c: at first the
// element that was at i; after an exchange at j it is the element that was at j,
// and the old current now sits at j. So the pass exchanges exactly at
//   p1 = the first position after i holding an element below c0 (c0 = the start),
//   p2 = the first position after p1 holding an element below c1 (what was at p1),
//   ... until no later element is below the current one,
// and its whole effect is a rotation along that chain: what was at p(m) moves to
// p(m+1), and what was at the last link moves to i. This holds for any relation;
// no property of an order is used. For an order it is the chain of strict prefix
// minima starting at i.
//
// So each link is one question, "the first position after p whose key is below
// v", which a tree of minima over the keys answers in O(log n): go up from p
// until a subtree to the right has a minimum below v, then down into its leftmost
// such leaf. After an exchange only position j changes its key (position i is
// never asked about again: later questions start after it), so one update keeps
// the tree right. A pass with no exchange costs one question.
//
// And the shortcut: when no element is below any element before it in the
// starting arrangement, the first exchange can never happen (it would be at such
// a pair, since nothing has moved before it), so nothing moves. One scan with the
// running maximum of the bounds finds whether such a pair exists.
//
// A plain order (bound == key for every element; every rule of the list is one
// when its values are inside the store's rules) needs no pass at all. The result
// is sorted by key (each pass leaves at i the first minimum: the last link), and
// the order within each group of equal keys x follows from two facts.
//
// (A) The elements with key <= x end in the relative order the exchange sort of
// their own subsequence would give them. In a pass at i the chain's links with
// key <= x are its tail: they start at the first such element at or after i (the
// prefix minimum first drops to <= x there) and follow the strict prefix minima
// among them. The rotation sends the last of them to i, which is now their first
// place and is never touched again, and each other one to the next of them. That
// is exactly one pass of their own exchange sort at their first element.
//
// (B) Within that subsequence the x elements only see whether an element is below
// x (a 0) or equal to x (a 1). A pass at a 1 exchanges it with the first 0 after
// it (the chain then goes on among 0s only); a pass at a 0 moves no 1; each pass
// leaves a 0 at its position while any remain. So, reading left to right, with Q
// the 1s standing before the next 0, in order: that 0 takes the place of Q's
// first 1, which lands where the 0 was, in front of the 1s that follow it. Q
// becomes Q rotated by one, then the 1s up to the 0 after that. A 0 with Q empty
// changes nothing, and once the 0s run out Q is the final order of the x elements.
//
// So d zeros in a row rotate Q by d, and the 1s that follow join at its end. Kept
// as a cycle with a head, joining the end is an insertion just before the head,
// at an index that depends only on counts; a list built by insertions at known
// indices is laid out backwards (the last insertion keeps its index, an earlier
// one takes that index among the slots still free). The zeros before each x
// element are counted with a Fenwick tree over the keys, filled in position order:
// O(m log m) for m elements, whatever their arrangement. Where the x elements come
// in few batches with no 0 between the members of a batch (a list that was in
// order before one change, or that is two such lists one after the other), Q is
// kept as a short list of segments instead, and the group costs one scan.

namespace quill {

namespace {

// Minima of int64 keys over positions 0..count-1, with "first position at or after
// p whose key is below v".
class MinTree {
public:
    explicit MinTree(int count) : count_(count) {
        while (leaves_ < count) {
            leaves_ *= 2;
        }
        nodes_.assign(2 * static_cast<size_t>(leaves_), std::numeric_limits<int64_t>::max());
    }

    void Place(int position, int64_t key) { nodes_[leaves_ + position] = key; }

    void Build() {
        for (int node = leaves_ - 1; node >= 1; --node) {
            nodes_[node] = std::min(nodes_[2 * node], nodes_[2 * node + 1]);
        }
    }

    void Update(int position, int64_t key) {
        int node = leaves_ + position;
        nodes_[node] = key;
        for (node /= 2; node >= 1; node /= 2) {
            const int64_t lowest = std::min(nodes_[2 * node], nodes_[2 * node + 1]);
            if (nodes_[node] == lowest) {
                break; // the nodes above depend only on this one's value
            }
            nodes_[node] = lowest;
        }
    }

    // -1 when no position at or after p has a key below v.
    int FirstBelow(int p, int64_t v) const {
        if (p >= count_) {
            return -1;
        }
        int node = leaves_ + p;
        for (;;) {
            if (nodes_[node] < v) {
                while (node < leaves_) {
                    node *= 2;
                    if (!(nodes_[node] < v)) {
                        ++node;
                    }
                }
                return node - leaves_;
            }
            // The next subtree to the right: climb while this node is a right child.
            while ((node & 1) != 0) {
                node /= 2;
            }
            if (node == 0) {
                return -1; // climbed past the root: nothing to the right
            }
            ++node;
        }
    }

private:
    int count_;
    int leaves_ = 1;
    std::vector<int64_t> nodes_;
};

// Counts over positions 0..count-1: add one at a position, count those before a
// position, and find the k-th position still counted.
class Fenwick {
public:
    explicit Fenwick(int count, bool full = false) : sums_(static_cast<size_t>(count) + 1, 0) {
        if (full) {
            for (int i = 1; i <= count; ++i) {
                sums_[i] = i & -i;
            }
        }
        highBit_ = 1;
        while (highBit_ * 2 <= count) {
            highBit_ *= 2;
        }
    }

    void Add(int position, int delta) {
        for (int i = position + 1; i < static_cast<int>(sums_.size()); i += i & -i) {
            sums_[i] += delta;
        }
    }

    // The position of the k-th (from 0) counted position; k must be below the total.
    int Kth(int k) const {
        int position = 0;
        for (int step = highBit_; step > 0; step /= 2) {
            const int next = position + step;
            if (next < static_cast<int>(sums_.size()) && sums_[next] <= k) {
                position = next;
                k -= sums_[next];
            }
        }
        return position;
    }

private:
    std::vector<int> sums_;
    int highBit_ = 1;
};

bool AnyPairOutOfOrder(const std::vector<int32_t>& order, int a, int b,
                       const std::vector<ExchangeKey>& keys) {
    int64_t highestBound = ExchangeKey::kNothingBelow;
    for (int p = a; p <= b; ++p) {
        const ExchangeKey& k = keys[order[p]];
        if (k.key < highestBound) {
            return true;
        }
        highestBound = std::max(highestBound, k.bound);
    }
    return false;
}

// More rotations and joins than this in one group of equal keys, and the group's
// cycle is built with a tree of free slots instead of a list of segments.
constexpr int kMaxSegments = 64;

} // namespace

void ExchangeSort(std::vector<int32_t>& order, int a, int b, const std::vector<ExchangeKey>& keys) {
    ExchangeSorter sorter;
    sorter.Sort(order, a, b, keys);
}

void ExchangeSorter::Sort(std::vector<int32_t>& order, int a, int b,
                          const std::vector<ExchangeKey>& keys) {
    if (b <= a || !AnyPairOutOfOrder(order, a, b, keys)) {
        return;
    }
    bool plainOrder = true;
    for (int p = a; p <= b && plainOrder; ++p) {
        plainOrder = keys[order[p]].key == keys[order[p]].bound;
    }
    if (plainOrder) {
        SortPlainOrder(order, a, b, keys);
        return;
    }
    MinTree tree(b - a + 1);
    for (int p = a; p <= b; ++p) {
        tree.Place(p - a, keys[order[p]].key);
    }
    tree.Build();
    for (int i = a; i < b; ++i) {
        int p = i;
        for (;;) {
            const int q = tree.FirstBelow(p - a + 1, keys[order[i]].bound);
            if (q < 0) {
                break;
            }
            p = a + q;
            std::swap(order[i], order[p]);
            tree.Update(q, keys[order[p]].key);
        }
    }
}

// For a plain order (bound == key for every element): the groups of equal keys in
// increasing order, each in the arrangement (A) and (B) above give it. Keys are
// first made dense (0..K-1, in the same order), so the groups come from one
// counting pass and the zeros before every element from a Fenwick tree over keys.
void ExchangeSorter::SortPlainOrder(std::vector<int32_t>& order, int a, int b,
                                    const std::vector<ExchangeKey>& keys) {
    const int m = b - a + 1;
    keys_.resize(static_cast<size_t>(m));
    int64_t lowest = std::numeric_limits<int64_t>::max();
    int64_t highest = std::numeric_limits<int64_t>::min();
    for (int p = 0; p < m; ++p) {
        const int64_t key = keys[order[a + p]].key;
        keys_[p] = key;
        lowest = std::min(lowest, key);
        highest = std::max(highest, key);
    }
    dense_.resize(static_cast<size_t>(m));
    // Unsigned: the difference of any two int64 values is exact there.
    const uint64_t span = static_cast<uint64_t>(highest) - static_cast<uint64_t>(lowest);
    int denseCount = 0;
    if (span < 2 * static_cast<uint64_t>(m) + 65536) {
        denseCount = static_cast<int>(span) + 1;
        for (int p = 0; p < m; ++p) {
            dense_[p] = static_cast<int32_t>(static_cast<uint64_t>(keys_[p]) -
                                             static_cast<uint64_t>(lowest));
        }
    } else {
        distinct_.assign(keys_.begin(), keys_.end());
        std::sort(distinct_.begin(), distinct_.end());
        distinct_.erase(std::unique(distinct_.begin(), distinct_.end()), distinct_.end());
        denseCount = static_cast<int>(distinct_.size());
        for (int p = 0; p < m; ++p) {
            dense_[p] = static_cast<int32_t>(
                std::lower_bound(distinct_.begin(), distinct_.end(), keys_[p]) - distinct_.begin());
        }
    }
    // Positions by (key, position): counts_[x] ends as the end of group x.
    counts_.assign(static_cast<size_t>(denseCount) + 1, 0);
    for (int p = 0; p < m; ++p) {
        ++counts_[dense_[p] + 1];
    }
    for (int x = 1; x <= denseCount; ++x) {
        counts_[x] += counts_[x - 1];
    }
    byKey_.resize(static_cast<size_t>(m));
    for (int p = 0; p < m; ++p) {
        byKey_[counts_[dense_[p]]++] = p;
    }
    // The smaller keys at earlier positions, for every position.
    tree_.assign(static_cast<size_t>(denseCount) + 1, 0);
    before_.resize(static_cast<size_t>(m));
    for (int p = 0; p < m; ++p) {
        int total = 0;
        for (int i = dense_[p]; i > 0; i -= i & -i) {
            total += tree_[i];
        }
        before_[p] = total;
        for (int i = dense_[p] + 1; i <= denseCount; i += i & -i) {
            ++tree_[i];
        }
    }
    placed_.resize(static_cast<size_t>(m));
    for (int g = 0; g < m;) {
        const int end = counts_[dense_[byKey_[g]]];
        PlaceGroup(g, end - g);
        g = end;
    }
    for (int k = 0; k < m; ++k) {
        placed_[k] = order[a + placed_[k]];
    }
    std::copy(placed_.begin(), placed_.end(), order.begin() + a);
}

// The group byKey_[g .. g + count - 1] into placed_ at the same indices. (B) read as
// batches: the group's elements that have the same number of zeros before them
// join Q together, after Q was rotated by the zeros since the batch before. Q is
// kept as a list of segments of the group (consecutive elements stay together)
// with the index of its head; joining the end is an insertion just before the head.
void ExchangeSorter::PlaceGroup(int g, int count) {
    int batches = 1;
    for (int k = 1; k < count && batches <= kMaxSegments; ++k) {
        batches += before_[byKey_[g + k]] != before_[byKey_[g + k - 1]] ? 1 : 0;
    }
    if (batches > kMaxSegments) {
        PlaceGroupBySlots(g, count);
        return;
    }
    segments_.clear();
    int64_t size = 0;
    int64_t head = 0;
    int64_t zerosSoFar = 0;
    for (int k = 0; k < count;) {
        const int32_t zeros = before_[byKey_[g + k]];
        int next = k + 1;
        while (next < count && before_[byKey_[g + next]] == zeros) {
            ++next;
        }
        if (size > 0) {
            head = (head + zeros - zerosSoFar) % size;
        }
        zerosSoFar = zeros;
        const Segment joining{k, next - k};
        if (head == 0) {
            // Just before the head of the cycle is the end of the list.
            if (!segments_.empty() &&
                segments_.back().from + segments_.back().count == joining.from) {
                segments_.back().count += joining.count;
            } else {
                segments_.push_back(joining);
            }
        } else {
            size_t s = 0;
            int64_t startOfS = 0;
            while (startOfS + segments_[s].count <= head) {
                startOfS += segments_[s].count;
                ++s;
            }
            if (startOfS < head) { // the head is inside segment s: split it there
                const auto inside = static_cast<int32_t>(head - startOfS);
                const Segment rest{segments_[s].from + inside, segments_[s].count - inside};
                segments_[s].count = inside;
                segments_.insert(segments_.begin() + static_cast<std::ptrdiff_t>(++s), rest);
            }
            segments_.insert(segments_.begin() + static_cast<std::ptrdiff_t>(s), joining);
            head += joining.count;
        }
        size += joining.count;
        k = next;
    }
    head = (head + g - zerosSoFar) % size; // g elements are smaller in all
    // Q from its head: the rest of the head's segment, the segments after it, those
    // before it, and the first part of the head's segment.
    size_t s = 0;
    int64_t startOfS = 0;
    while (startOfS + segments_[s].count <= head) {
        startOfS += segments_[s].count;
        ++s;
    }
    int out = g;
    const auto emit = [&](int32_t from, int32_t n) {
        for (int32_t k = from; k < from + n; ++k) {
            placed_[out++] = byKey_[g + k];
        }
    };
    const auto inside = static_cast<int32_t>(head - startOfS);
    emit(segments_[s].from + inside, segments_[s].count - inside);
    for (size_t t = s + 1; t < segments_.size(); ++t) {
        emit(segments_[t].from, segments_[t].count);
    }
    for (size_t t = 0; t < s; ++t) {
        emit(segments_[t].from, segments_[t].count);
    }
    emit(segments_[s].from, inside);
}

// The same cycle for a group with many batches: r is the head's index in the list
// the insertions build; a list built by insertions at known indices is laid out
// backwards (the last insertion keeps its index, an earlier one takes that index
// among the slots still free).
void ExchangeSorter::PlaceGroupBySlots(int g, int count) {
    insertAt_.resize(static_cast<size_t>(count));
    int64_t size = 0;
    int64_t r = 0;
    int64_t zerosSoFar = 0;
    for (int k = 0; k < count; ++k) {
        const int64_t zeros = before_[byKey_[g + k]];
        if (size > 0) {
            r = (r + zeros - zerosSoFar) % size;
        }
        zerosSoFar = zeros;
        insertAt_[k] = r;
        ++size;
        ++r;
    }
    r = (r + g - zerosSoFar) % size;
    cycle_.resize(static_cast<size_t>(count));
    Fenwick freeSlots(count, true);
    for (int k = count - 1; k >= 0; --k) {
        const int slot = freeSlots.Kth(static_cast<int>(insertAt_[k]));
        freeSlots.Add(slot, -1);
        cycle_[slot] = byKey_[g + k];
    }
    for (int k = 0; k < count; ++k) {
        placed_[g + k] = cycle_[(r + k) % count];
    }
}

} // namespace quill
