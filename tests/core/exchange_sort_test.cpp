#include "core/exchange_sort.h"

#include <gtest/gtest.h>
#include <numeric>
#include <random>

namespace quill {
namespace {

// The double loop as written in the definition of the order.
void LiteralExchangeSort(std::vector<int32_t>& order, int a, int b,
                         const std::vector<ExchangeKey>& keys) {
    for (int i = a; i < b; ++i) {
        for (int j = i + 1; j <= b; ++j) {
            if (keys[order[j]].key < keys[order[i]].bound) {
                std::swap(order[i], order[j]);
            }
        }
    }
}

std::vector<int32_t> Identity(int n) {
    std::vector<int32_t> order(static_cast<size_t>(n));
    std::iota(order.begin(), order.end(), 0);
    return order;
}

// Plain orders (bound == key) in half the rounds; in the others keys and bounds
// are drawn independently, so the relation is often no order at all (an element
// below one it is not above, cycles): the rotation along the chain of links holds
// for any relation.
TEST(ExchangeSort, SameArrangementAsTheDoubleLoopForAnyKeysAndBounds) {
    std::mt19937 random(14);
    for (int round = 0; round < 3000; ++round) {
        const bool large = round % 20 == 0;
        const int n = static_cast<int>(random() % (large ? 300 : 40));
        const bool plainOrder = round % 2 == 0;
        std::vector<ExchangeKey> keys(static_cast<size_t>(n));
        for (ExchangeKey& k : keys) {
            k.key = static_cast<int64_t>(random() % (large ? 40 : 5));
            k.bound = plainOrder          ? k.key
                      : random() % 6 == 0 ? ExchangeKey::kNothingBelow
                                          : static_cast<int64_t>(random() % 6);
        }
        std::vector<int32_t> order = Identity(n);
        std::shuffle(order.begin(), order.end(), random);
        const int a = n == 0 ? 0 : static_cast<int>(random() % static_cast<unsigned>(n));
        const int b = n == 0 ? -1 : a + static_cast<int>(random() % static_cast<unsigned>(n - a));
        std::vector<int32_t> expected = order;
        LiteralExchangeSort(expected, a, b, keys);
        ExchangeSort(order, a, b, keys);
        ASSERT_EQ(order, expected) << "round " << round;
    }
}

// Few keys over a long shuffled range: each group of equal keys is met in
// hundreds of batches (more than the list of segments is kept for).
TEST(ExchangeSort, GroupsMetInManyBatches) {
    std::mt19937 random(17);
    for (int round = 0; round < 4; ++round) {
        const int n = 1200;
        std::vector<ExchangeKey> keys(static_cast<size_t>(n));
        for (ExchangeKey& k : keys)
            k.key = k.bound = static_cast<int64_t>(random() % 3);
        std::vector<int32_t> order = Identity(n);
        std::shuffle(order.begin(), order.end(), random);
        std::vector<int32_t> expected = order;
        LiteralExchangeSort(expected, 0, n - 1, keys);
        ExchangeSort(order, 0, n - 1, keys);
        ASSERT_EQ(order, expected) << "round " << round;
    }
}

// A reversed list of distinct keys makes every pass rotate along the whole rest.
TEST(ExchangeSort, LongChainsOfLinks) {
    for (int n : {2, 3, 17, 256, 300}) {
        std::vector<ExchangeKey> keys(static_cast<size_t>(n));
        for (int r = 0; r < n; ++r) {
            keys[r].key = keys[r].bound = (n - r) / 2; // reversed, in pairs of equals
        }
        std::vector<int32_t> order = Identity(n);
        std::vector<int32_t> expected = order;
        LiteralExchangeSort(expected, 0, n - 1, keys);
        ExchangeSort(order, 0, n - 1, keys);
        EXPECT_EQ(order, expected) << n;
    }
}

// The fact the due-date sort's priority step rests on: once an exchange sort by a
// plain order has sorted [s, t], sorting [g, t] for any later g moves nothing.
TEST(ExchangeSort, ASortedRangeStaysPutWhenSortedAgainFromAnyPosition) {
    std::mt19937 random(15);
    for (int round = 0; round < 500; ++round) {
        const int n = 1 + static_cast<int>(random() % 30);
        std::vector<ExchangeKey> keys(static_cast<size_t>(n));
        for (ExchangeKey& k : keys) {
            k.key = k.bound = static_cast<int64_t>(random() % 3);
        }
        std::vector<int32_t> order = Identity(n);
        LiteralExchangeSort(order, 0, n - 1, keys);
        for (int g = 1; g < n; ++g) {
            std::vector<int32_t> again = order;
            LiteralExchangeSort(again, g, n - 1, keys);
            ASSERT_EQ(again, order) << "round " << round << ", from " << g;
        }
    }
}

// The fact the placement of equal keys rests on: the elements with keys up to any
// x end in the relative order the exchange sort of their own subsequence gives.
TEST(ExchangeSort, TheElementsUpToAKeyEndAsTheirOwnSortWouldLeaveThem) {
    std::mt19937 random(16);
    for (int round = 0; round < 300; ++round) {
        const int n = 1 + static_cast<int>(random() % 40);
        std::vector<ExchangeKey> keys(static_cast<size_t>(n));
        for (ExchangeKey& k : keys) {
            k.key = k.bound = static_cast<int64_t>(random() % 6);
        }
        std::vector<int32_t> whole = Identity(n);
        std::shuffle(whole.begin(), whole.end(), random);
        const std::vector<int32_t> start = whole;
        LiteralExchangeSort(whole, 0, n - 1, keys);
        for (int64_t x = 0; x < 6; ++x) {
            const auto upToX = [&](const std::vector<int32_t>& order) {
                std::vector<int32_t> kept;
                for (int32_t e : order) {
                    if (keys[e].key <= x) {
                        kept.push_back(e);
                    }
                }
                return kept;
            };
            std::vector<int32_t> own = upToX(start);
            LiteralExchangeSort(own, 0, static_cast<int>(own.size()) - 1, keys);
            ASSERT_EQ(upToX(whole), own) << "round " << round << ", x " << x;
        }
    }
}

} // namespace
} // namespace quill
