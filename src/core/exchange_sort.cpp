#include "exchange_sort.h"

#include <algorithm>
#include <numeric>
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
// element are counted with a Fenwick tree over the positions of smaller keys:
// O(m log m) for m elements, whatever their arrangement.

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

    // How many are counted at positions 0..position-1.
    int Before(int position) const {
        int total = 0;
        for (int i = position; i > 0; i -= i & -i) {
            total += sums_[i];
        }
        return total;
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

// For a plain order (bound == key for every element): the groups of equal keys in
// increasing order, each in the arrangement (A) and (B) above give it.
void ExchangeSortByGroups(std::vector<int32_t>& order, int a, int b,
                          const std::vector<ExchangeKey>& keys) {
    const int m = b - a + 1;
    // (key, original position), so that equal keys come in their original order.
    std::vector<std::pair<int64_t, int32_t>> byKey(static_cast<size_t>(m));
    for (int p = 0; p < m; ++p) {
        byKey[p] = {keys[order[a + p]].key, p};
    }
    std::sort(byKey.begin(), byKey.end());
    Fenwick smaller(m); // original positions of the groups already placed
    std::vector<int32_t> sorted(static_cast<size_t>(m));
    std::vector<int64_t> insertAt;
    std::vector<int32_t> cycle;
    for (int g = 0; g < m;) {
        int end = g + 1;
        while (end < m && byKey[end].first == byKey[g].first) {
            ++end;
        }
        const int count = end - g;
        // The group's cycle: r is the head's index in the list the insertions build.
        insertAt.resize(static_cast<size_t>(count));
        int64_t size = 0;
        int64_t r = 0;
        int64_t smallerSoFar = 0;
        for (int k = 0; k < count; ++k) {
            const int64_t before = smaller.Before(byKey[g + k].second);
            if (size > 0) {
                r = (r + before - smallerSoFar) % size;
            }
            smallerSoFar = before;
            insertAt[k] = r;
            ++size;
            ++r;
        }
        r = (r + g - smallerSoFar) % size; // g elements are smaller in all
        // Where each insertion ends up: the last one stays at its index; an earlier
        // one takes the insertAt-th slot the later ones left free.
        cycle.resize(static_cast<size_t>(count));
        Fenwick freeSlots(count, true);
        for (int k = count - 1; k >= 0; --k) {
            const int slot = freeSlots.Kth(static_cast<int>(insertAt[k]));
            freeSlots.Add(slot, -1);
            cycle[slot] = byKey[g + k].second;
        }
        for (int k = 0; k < count; ++k) {
            sorted[g + k] = order[a + cycle[(r + k) % count]];
        }
        for (int k = g; k < end; ++k) {
            smaller.Add(byKey[k].second, 1);
        }
        g = end;
    }
    std::copy(sorted.begin(), sorted.end(), order.begin() + a);
}

} // namespace

void ExchangeSort(std::vector<int32_t>& order, int a, int b, const std::vector<ExchangeKey>& keys) {
    if (b <= a || !AnyPairOutOfOrder(order, a, b, keys)) {
        return;
    }
    bool plainOrder = true;
    for (int p = a; p <= b && plainOrder; ++p) {
        plainOrder = keys[order[p]].key == keys[order[p]].bound;
    }
    if (plainOrder) {
        ExchangeSortByGroups(order, a, b, keys);
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

} // namespace quill
