#include "core/array.h"
#include "core/elem.h"
#include "core/hash_table.h"
#include "core/list.h"
#include "core/memory.h"

#include "expect_fatal.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace tessaro {
namespace {

// Equal by key, ordered by key; the tag tells equal keys apart.
struct Tagged {
    std::uint32_t key = 0;
    char tag = ' ';
    friend bool operator==(const Tagged& a, const Tagged& b) { return a.key == b.key; }
    friend bool operator<(const Tagged& a, const Tagged& b) { return a.key < b.key; }
};

// A record that carries lists of its own, as an assembled method does.
struct Named {
    std::string name;
    List<std::string> items;
    friend bool operator==(const Named& a, const Named& b) { return a.name == b.name; }
};

std::vector<std::uint32_t> keysOf(const List<Tagged>& list) {
    std::vector<std::uint32_t> keys;
    for (const Tagged& t : list) {
        keys.push_back(t.key);
    }
    return keys;
}

std::string tagsOf(const List<Tagged>& list) {
    std::string tags;
    for (const Tagged& t : list) {
        tags += t.tag;
    }
    return tags;
}

template <typename K, typename V>
std::vector<K> bucketKeys(const Memory<K, V>& memory, int bucket) {
    std::vector<K> keys;
    for (const auto& elem : memory.buckets[bucket]) {
        keys.push_back(elem.key);
    }
    return keys;
}

// --- List -------------------------------------------------------------------------------------

TEST(ListCursor, SingleElementReadTwiceThroughStepThenWalk) {
    List<int> list;
    EXPECT_EQ(list.cursor, list.head);
    EXPECT_EQ(list.cursorIndex, -1);
    list.insertTail(42);

    int& first = list[0]; // one step from the sentinel
    EXPECT_EQ(first, 42);
    EXPECT_EQ(list.cursorIndex, 0);
    EXPECT_EQ(list.cursor, list.head->next);

    int& again = list[0]; // neither next to the cursor: walks from the first element
    EXPECT_EQ(&again, &first);
    EXPECT_EQ(list.cursorIndex, 0);
    EXPECT_EQ(list.cursor, list.head->next);
}

TEST(ListCursor, ForwardBackwardAndJumpsReturnTheRightElements) {
    List<int> list;
    for (int i = 0; i < 10; ++i) {
        list.insertTail(i * 10);
    }
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(list[i], i * 10);
    }
    for (int i = 9; i >= 0; --i) {
        EXPECT_EQ(list[i], i * 10);
    }
    const int jumps[] = {7, 2, 3, 9, 0, 5, 4, 6, 6, 1};
    for (int i : jumps) {
        EXPECT_EQ(list[i], i * 10);
        EXPECT_EQ(list.cursorIndex, i);
    }
    // the last node is the sentinel's prev: stepping back from the end must not cross it
    EXPECT_EQ(list[9], 90);
    EXPECT_EQ(list.cursor, list.head->prev);
    EXPECT_EQ(list[8], 80);
}

TEST(ListCursor, AppendingKeepsTheCursorUsable) {
    List<int> list;
    list.insertTail(1);
    list.insertTail(2);
    EXPECT_EQ(list[1], 2);
    list.insertTail(3);
    EXPECT_EQ(list.cursorIndex, 1);
    EXPECT_EQ(list[2], 3);
    EXPECT_EQ(list[1], 2);
    EXPECT_EQ(list.count, 3);
}

TEST(ListCursor, SequentialAccessIsLinearOnLongLists) {
    // One step per call takes milliseconds here; walking from the start on every call would take
    // tens of billions of steps, so the loops give up (and fail) after a generous deadline.
    constexpr int n = 200000;
    List<int> list;
    for (int i = 0; i < n; ++i) {
        list.insertTail(i);
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    long long sum = 0;
    int visited = 0;
    for (int i = 0; i < n && std::chrono::steady_clock::now() < deadline; ++i, ++visited) {
        sum += list[i];
    }
    for (int i = n - 1; i >= 0 && std::chrono::steady_clock::now() < deadline; --i, ++visited) {
        sum -= list[i];
    }
    ASSERT_EQ(visited, 2 * n) << "sequential access is not one step per call";
    EXPECT_EQ(sum, 0);
}

TEST(ListInsert, KeepsAscendingOrderAndPutsEqualsFirst) {
    List<Tagged> list;
    list.insert({7, 'a'});
    list.insert({3, 'b'});
    EXPECT_EQ(keysOf(list), (std::vector<std::uint32_t>{3, 7}));

    list.insert({7, 'c'});
    list.insert({3, 'd'});
    list.insert({9, 'e'});
    list.insert({0, 'f'});
    EXPECT_EQ(keysOf(list), (std::vector<std::uint32_t>{0, 3, 3, 7, 7, 9}));
    EXPECT_EQ(tagsOf(list), "fdbcae");
    EXPECT_EQ(list.count, 6);
}

TEST(ListInsert, ResetsTheCursorSoIndexesStayRight) {
    List<Tagged> list;
    list.insert({10, 'a'});
    list.insert({30, 'b'});
    EXPECT_EQ(list[1].key, 30u);
    list.insert({20, 'c'}); // index 1 now names a different element
    EXPECT_EQ(list.cursor, list.head);
    EXPECT_EQ(list.cursorIndex, -1);
    EXPECT_EQ(list[1].key, 20u);
    EXPECT_EQ(list[2].key, 30u);
}

TEST(ListInsert, OrdersKeysAsUnsigned) {
    List<Elem<std::uint32_t, std::int32_t>> list;
    list.insert({0xFFFFFFFFu, 1});
    list.insert({1u, 2});
    list.insert({0x80000000u, 3});
    EXPECT_EQ(list[0].key, 1u);
    EXPECT_EQ(list[1].key, 0x80000000u);
    EXPECT_EQ(list[2].key, 0xFFFFFFFFu);
}

TEST(ListSearch, FlagsMissAndHitAndFindsTheFirstEqual) {
    List<Tagged> list;
    list.insertTail({4, 'a'});
    list.insertTail({8, 'b'});
    list.insertTail({8, 'c'});

    Tagged missing{5, 'x'};
    Tagged& miss = list.search(missing);
    EXPECT_EQ(&miss, &missing);
    EXPECT_EQ(list.notFound, 1);

    // contains leaves the flag of the last search alone
    EXPECT_TRUE(list.contains({4, '?'}));
    EXPECT_EQ(list.notFound, 1);
    EXPECT_FALSE(list.contains({5, '?'}));

    Tagged probe{8, 'x'};
    Tagged& hit = list.search(probe);
    EXPECT_EQ(list.notFound, 0);
    EXPECT_NE(&hit, &probe);
    EXPECT_EQ(hit.tag, 'b');
    hit.tag = 'z'; // a reference into the list
    EXPECT_EQ(list[1].tag, 'z');
}

TEST(ListSearch, EmptyListFindsNothing) {
    List<Tagged> list;
    Tagged probe{0, 'p'};
    EXPECT_EQ(&list.search(probe), &probe);
    EXPECT_EQ(list.notFound, 1);
    EXPECT_FALSE(list.contains(probe));
    EXPECT_EQ(list.find(probe), nullptr);
}

TEST(ListCopy, SelfAssignmentLeavesTheListUnchanged) {
    List<int> list;
    list.insertTail(1);
    list.insertTail(2);
    list.insertTail(3);
    auto* head = list.head;
    List<int>& alias = list;
    list = alias;
    EXPECT_EQ(list.head, head);
    ASSERT_EQ(list.count, 3);
    EXPECT_EQ(list[0], 1);
    EXPECT_EQ(list[1], 2);
    EXPECT_EQ(list[2], 3);
}

TEST(ListCopy, AssignmentReplacesContentsAndCopyIsIndependent) {
    List<int> a;
    a.insertTail(1);
    a.insertTail(2);
    List<int> b;
    for (int i = 0; i < 5; ++i) {
        b.insertTail(100 + i);
    }
    EXPECT_EQ(b[3], 103); // cursor placed deep in b before it is overwritten
    int missing = 7;
    b.search(missing);
    ASSERT_EQ(b.notFound, 1);
    b = a;
    ASSERT_EQ(b.count, 2);
    EXPECT_EQ(b.cursorIndex, -1);
    EXPECT_EQ(b.notFound, 0); // a fresh list keeps no flag of an earlier search
    EXPECT_EQ(b[0], 1);
    EXPECT_EQ(b[1], 2);
    b[0] = 50;
    EXPECT_EQ(a[0], 1);

    List<int> c(a);
    c.insertTail(3);
    EXPECT_EQ(a.count, 2);
    EXPECT_EQ(c.count, 3);
}

TEST(ListCopy, ListOfListsIsCopiedDeeply) {
    List<Named> methods;
    Named first{"main", {}};
    first.items.insertTail("x");
    first.items.insertTail("y");
    methods.insertTail(first);
    Named other{"other", {}};
    other.items.insertTail("z");
    methods.insertTail(other);

    List<Named> copy(methods);
    List<Named> assigned;
    assigned = methods;

    copy[0].items[0] = "changed";
    copy[0].items.insertTail("extra");
    assigned[1].items.insertTail("more");

    EXPECT_EQ(methods[0].items.count, 2);
    EXPECT_EQ(methods[0].items[0], "x");
    EXPECT_EQ(methods[1].items.count, 1);
    EXPECT_EQ(copy[0].items.count, 3);
    EXPECT_EQ(assigned[1].items.count, 2);
    EXPECT_EQ(assigned[1].items[1], "more");
    EXPECT_TRUE(assigned.contains(Named{"other", {}}));
}

TEST(ListDeath, IndexOutOfRangeEndsTheProcessWithTheFixedLine) {
    List<int> list;
    list.insertTail(1);
    list.insertTail(2);
    list.insertTail(3);
    const char* line = "^Errore nel metodo List<T>::operator\\[\\]\\(T\\): indice fuori limite\n$";
    EXPECT_FATAL_OUTPUT(list[3], line);
    EXPECT_FATAL_OUTPUT(list[-1], line);
    EXPECT_FATAL_OUTPUT(
        {
            List<int> empty;
            empty[0];
        },
        line);
}

// --- Array ------------------------------------------------------------------------------------

TEST(ArrayIndexing, ReversedReadsBackToFront) {
    Array<int> a(3);
    EXPECT_EQ(a.reversed, 0);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(a[i], 0); // elements start zeroed
        a[i] = i + 1;
    }
    a.reversed = 1;
    EXPECT_EQ(&a[0], &a.data[2]);
    EXPECT_EQ(a[0], 3);
    EXPECT_EQ(a[1], 2);
    EXPECT_EQ(a[2], 1);
}

TEST(ArrayIndexing, CopyOfReversedIsInLogicalOrder) {
    Array<std::uint32_t> a(4);
    for (int i = 0; i < 4; ++i) {
        a[i] = static_cast<std::uint32_t>(10 + i);
    }
    a.reversed = 1;
    Array<std::uint32_t> b(a);
    EXPECT_EQ(b.size, 4);
    EXPECT_EQ(b.reversed, 0);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(b.data[i], static_cast<std::uint32_t>(13 - i));
    }
    b[0] = 99; // separate storage
    EXPECT_EQ(a.data[3], 13u);
}

TEST(ArrayDeath, IndexOutOfRangeEndsTheProcessWithTheFixedLines) {
    Array<int> a(3);
    const char* line =
        "^Errore nella funzione Array::operator\\[\\]\\(int\\)\nIndice fuori limite\n$";
    EXPECT_FATAL_OUTPUT(a[3], line);
    EXPECT_FATAL_OUTPUT(a[-1], line);
    a.reversed = 1; // the check is on the logical index, whatever the direction
    EXPECT_FATAL_OUTPUT(a[3], line);
}

TEST(ArrayDeath, NegativeSizeEndsTheProcess) {
    EXPECT_FATAL_OUTPUT(Array<int> a(-1), "^Errore nella funzione Array::Array\n$");
}

// --- HashTable and Memory ---------------------------------------------------------------------

TEST(MemoryBuckets, KeysOfOneBucketStandInAscendingOrder) {
    Memory<std::uint32_t, std::int32_t> memory;
    memory.insert({45, 3});
    memory.insert({5, 1});
    memory.insert({25, 2});
    EXPECT_EQ(bucketKeys(memory, 5), (std::vector<std::uint32_t>{5, 25, 45}));
    for (int b = 0; b < 20; ++b) {
        if (b != 5) {
            EXPECT_TRUE(memory.buckets[b].empty()) << "bucket " << b;
        }
    }
    EXPECT_EQ(memory.elementCount(), 3);
}

TEST(MemoryBuckets, NegativeWordAddressesLandInBuckets10To15) {
    Memory<std::uint32_t, std::int32_t> memory;
    for (std::int32_t address = -6; address <= -1; ++address) {
        memory[static_cast<std::uint32_t>(address)] = address * 100;
    }
    for (int b = 10; b <= 15; ++b) {
        const auto keys = bucketKeys(memory, b);
        ASSERT_EQ(keys.size(), 1u) << "bucket " << b;
        EXPECT_EQ(keys[0], 0xFFFFFFFAu + static_cast<std::uint32_t>(b - 10));
    }
    EXPECT_EQ(memory.elementCount(), 6);
    // a small key in the same bucket sorts before the huge one
    memory[10] = 7;
    EXPECT_EQ(bucketKeys(memory, 10), (std::vector<std::uint32_t>{10, 0xFFFFFFFAu}));
    EXPECT_EQ(memory[0xFFFFFFFFu], -100);
}

TEST(MemoryIndexing, AbsentKeyIsCreatedOnceWithZero) {
    Memory<std::uint32_t, std::int32_t> memory;
    EXPECT_EQ(memory.peek(1234), nullptr);
    EXPECT_EQ(memory.elementCount(), 0); // peek creates nothing

    std::int32_t& created = memory[1234];
    EXPECT_EQ(created, 0);
    EXPECT_EQ(memory.elementCount(), 1);
    created = 77;

    std::int32_t& again = memory[1234];
    EXPECT_EQ(&again, &created);
    EXPECT_EQ(again, 77);
    EXPECT_EQ(memory.elementCount(), 1);
    ASSERT_NE(memory.peek(1234), nullptr);
    EXPECT_EQ(*memory.peek(1234), 77);
}

TEST(MemorySearch, NotFoundFollowsTheLastSearchAndContains) {
    Memory<std::uint32_t, std::uint32_t> memory;
    memory.insert({21, 5});
    Elem<std::uint32_t, std::uint32_t> probe{41, 9};
    auto& miss = memory.search(probe);
    EXPECT_EQ(&miss, &probe);
    EXPECT_EQ(memory.notFound, 1);

    Elem<std::uint32_t, std::uint32_t> present{21, 0};
    EXPECT_EQ(memory.search(present).value, 5u);
    EXPECT_EQ(memory.notFound, 0);

    EXPECT_FALSE(memory.contains(std::uint32_t{1})); // same bucket, other key
    EXPECT_EQ(memory.notFound, 1);
    EXPECT_TRUE(memory.contains(std::uint32_t{21}));
    EXPECT_EQ(memory.notFound, 0);
}

TEST(MemoryCopy, AssignmentCopiesEveryBucketAndSelfAssignmentKeepsThem) {
    Memory<std::uint32_t, std::int32_t> a;
    a[1] = 10;
    a[21] = 20;
    a[39] = 30;
    Memory<std::uint32_t, std::int32_t> b;
    b[2] = 99;
    Elem<std::uint32_t, std::int32_t> probe{41, 0};
    b.search(probe); // leaves bucket 1 of b flagged
    b = a;
    EXPECT_EQ(b.elementCount(), 3);
    EXPECT_EQ(b.peek(2), nullptr);
    EXPECT_EQ(bucketKeys(b, 1), (std::vector<std::uint32_t>{1, 21}));
    b.insert({61, 1}); // the table reports the bucket's flag, which must be fresh
    EXPECT_EQ(b.notFound, 0);
    EXPECT_EQ(bucketKeys(b, 1), (std::vector<std::uint32_t>{1, 21, 61}));
    b[1] = -1;
    EXPECT_EQ(a[1], 10);

    auto& alias = a;
    a = alias;
    EXPECT_EQ(a.elementCount(), 3);
    EXPECT_EQ(a[39], 30);
}

} // namespace
} // namespace tessaro
