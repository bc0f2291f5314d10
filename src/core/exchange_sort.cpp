#include "exchange_sort.h"

#include <algorithm>
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

} // namespace

void ExchangeSort(std::vector<int32_t>& order, int a, int b, const std::vector<ExchangeKey>& keys) {
    if (b <= a || !AnyPairOutOfOrder(order, a, b, keys)) {
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
