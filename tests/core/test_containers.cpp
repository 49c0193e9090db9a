// The containers against the standard library: random operations on a List and a Memory,
// each compared with a std::vector or std::map after every step, plus the fatal exits.

#include "core/array.h"
#include "core/elem.h"
#include "core/fatal.h"
#include "core/key_index.h"
#include "core/list.h"
#include "core/memory.h"

#include "expect_fatal.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <map>
#include <random>
#include <vector>

namespace tessaro {
namespace {

// Equal and ordered by key only; the tag tells equal keys apart.
struct Tagged {
    std::uint32_t key = 0;
    int tag = 0;
    friend bool operator==(const Tagged& a, const Tagged& b) { return a.key == b.key; }
    friend bool operator<(const Tagged& a, const Tagged& b) { return a.key < b.key; }
};

// Few keys, so that equal keys meet; the large ones check the order is unsigned.
constexpr std::uint32_t listKeys[] = {0, 1, 3, 7, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu};

std::vector<std::pair<std::uint32_t, int>> contentsOf(const List<Tagged>& list) {
    std::vector<std::pair<std::uint32_t, int>> out;
    for (const Tagged& t : list) {
        out.emplace_back(t.key, t.tag);
    }
    return out;
}

std::vector<std::pair<std::uint32_t, int>> contentsOf(const std::vector<Tagged>& model) {
    std::vector<std::pair<std::uint32_t, int>> out;
    for (const Tagged& t : model) {
        out.emplace_back(t.key, t.tag);
    }
    return out;
}

TEST(Containers, ListBehavesLikeAVector) {
    std::mt19937 random(7);
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    List<Tagged> lists[2];
    std::vector<Tagged> models[2];
    int nextTag = 1;
    for (int step = 0; step < 4000; ++step) {
        const int which = pick(2);
        List<Tagged>& list = lists[which];
        std::vector<Tagged>& model = models[which];
        const Tagged value{listKeys[pick(7)], nextTag++};
        const int op = pick(11);
        SCOPED_TRACE("step " + std::to_string(step) + ", operation " + std::to_string(op));
        if (op == 0) {
            list.insertTail(value);
            model.push_back(value);
        } else if (op == 1) {
            // sorted insert: a new element goes before the equal ones already there
            list.insert(value);
            model.insert(std::find_if(model.begin(), model.end(),
                                      [&](const Tagged& t) { return !(t < value); }),
                         value);
        } else if (op <= 3 && !model.empty()) {
            // reads and writes by index, in runs that go forward, backward or jump
            int i = pick(static_cast<int>(model.size()));
            for (int k = 0; k < 5 && i >= 0 && i < static_cast<int>(model.size()); ++k) {
                ASSERT_EQ(list[i].tag, model[static_cast<std::size_t>(i)].tag) << "index " << i;
                list[i].tag = model[static_cast<std::size_t>(i)].tag = nextTag++;
                i += op == 2 ? 1 : -1;
            }
        } else if (op == 4) {
            Tagged probe = value;
            Tagged& found = list.search(probe);
            const auto hit = std::find(model.begin(), model.end(), value);
            ASSERT_EQ(list.notFound, hit == model.end() ? 1 : 0);
            if (hit == model.end()) {
                EXPECT_EQ(&found, &probe);
            } else {
                EXPECT_EQ(found.tag, hit->tag); // the first equal, by reference
                found.tag = hit->tag = nextTag++;
            }
        } else if (op == 5) {
            const std::uint8_t before = list.notFound;
            EXPECT_EQ(list.contains(value), std::count(model.begin(), model.end(), value) > 0);
            EXPECT_EQ(list.notFound, before); // contains leaves the last search's flag alone
        } else if (op == 6) {
            lists[1 - which] = list;
            models[1 - which] = model;
            EXPECT_EQ(lists[1 - which].notFound, 0);
        } else if (op == 7) {
            List<Tagged>& alias = list;
            list = alias;
        } else if (op == 8 && pick(20) == 0) {
            const List<Tagged> copy(list);
            list.clear();
            EXPECT_EQ(contentsOf(copy), contentsOf(model));
            model.clear();
        } else if (op >= 9) {
            // By node, after the element at a position (the sentinel: at the front), then
            // reads by index from there on must not follow a cursor left behind.
            const int at = pick(static_cast<int>(model.size()) + 1) - 1;
            List<Tagged>::NodeBase* node = list.head;
            for (int k = 0; k <= at; ++k) {
                node = node->next;
            }
            if (op == 9 && at >= 0) {
                list.erase(node);
                model.erase(model.begin() + at);
            } else if (op == 10) {
                list.insertAfter(node, value);
                model.insert(model.begin() + (at + 1), value);
            }
        }
        ASSERT_EQ(list.count, static_cast<int>(model.size()));
        ASSERT_EQ(contentsOf(list), contentsOf(model));
    }
}

TEST(Containers, ListOfListsIsCopiedDeeply) {
    struct Named {
        int id = 0;
        List<int> items;
        bool operator==(const Named& other) const { return id == other.id; }
    };
    List<Named> methods;
    Named first{1, {}};
    first.items.insertTail(10);
    methods.insertTail(first);
    List<Named> copy(methods);
    List<Named> assigned;
    assigned = methods;
    copy[0].items.insertTail(11);
    assigned[0].items[0] = 12;
    EXPECT_EQ(methods[0].items.count, 1);
    EXPECT_EQ(methods[0].items[0], 10);
    EXPECT_EQ(copy[0].items.count, 2);
}

TEST(Containers, ListSequentialAccessIsLinear) {
    // One step per call takes milliseconds; walking from the start on every call would take tens
    // of billions of steps, so the loops give up (and fail) after a generous deadline.
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

using WordMemory = Memory<std::uint32_t, std::int32_t>;

std::map<std::uint32_t, std::int32_t> contentsOf(const WordMemory& memory) {
    std::map<std::uint32_t, std::int32_t> out;
    for (const auto& bucket : memory.buckets) {
        for (const auto& elem : bucket) {
            EXPECT_TRUE(out.emplace(elem.key, elem.value).second) << "key twice: " << elem.key;
        }
    }
    return out;
}

TEST(Containers, MemoryBehavesLikeAMap) {
    // Keys that share buckets, including negative word addresses seen as unsigned.
    std::vector<std::uint32_t> keys;
    for (std::uint32_t k = 0; k < 8; ++k) {
        keys.push_back(5 + 20 * k);
        keys.push_back(static_cast<std::uint32_t>(-static_cast<std::int32_t>(k + 1)));
    }
    keys.push_back(0x80000000u);
    std::mt19937 random(11);
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    WordMemory memories[2];
    std::map<std::uint32_t, std::int32_t> models[2];
    for (int step = 0; step < 4000; ++step) {
        const int which = pick(2);
        WordMemory& memory = memories[which];
        auto& model = models[which];
        const std::uint32_t key =
            keys[static_cast<std::size_t>(pick(static_cast<int>(keys.size())))];
        const std::int32_t value = static_cast<std::int32_t>(random());
        const bool present = model.count(key) > 0;
        const int op = pick(9);
        SCOPED_TRACE("step " + std::to_string(step) + ", operation " + std::to_string(op));
        if (op == 0) {
            memory[key] = value;
            model[key] = value;
        } else if (op == 1) {
            ASSERT_EQ(memory[key], model[key]); // creates a zero when absent, as the model does
        } else if (op == 2) {
            const std::int32_t* seen = memory.peek(key);
            ASSERT_EQ(seen != nullptr, present);
            if (present) {
                EXPECT_EQ(*seen, model[key]);
            }
        } else if (op == 3 && !present) {
            memory.insert({key, value});
            model[key] = value;
        } else if (op == 4) {
            Elem<std::uint32_t, std::int32_t> probe{key, value};
            auto& found = memory.search(probe);
            ASSERT_EQ(memory.notFound, present ? 0 : 1);
            EXPECT_EQ(&found == &probe, !present);
            if (present) {
                EXPECT_EQ(found.value, model[key]);
            }
        } else if (op == 5) {
            EXPECT_EQ(memory.contains(key), present);
            EXPECT_EQ(memory.notFound, present ? 0 : 1);
        } else if (op == 6) {
            memories[1 - which] = memory;
            models[1 - which] = model;
        } else if (op == 7) {
            WordMemory& alias = memory;
            memory = alias;
            if (pick(30) == 0) {
                const WordMemory copy(memory);
                memory.clear();
                EXPECT_EQ(contentsOf(copy), model);
                model.clear();
            }
        } else if (op == 8) {
            memory.erase(key);
            model.erase(key);
        }
        ASSERT_EQ(memory.elementCount(), static_cast<int>(model.size()));
        ASSERT_EQ(contentsOf(memory), model);
    }
}

// Removal moves later entries of a probe run back into the hole; a wrong move loses a key
// behind it. Dense keys make long runs that wrap around the table's end.
TEST(Containers, KeyIndexBehavesLikeAMap) {
    std::mt19937 random(5);
    KeyIndex<int> index;
    std::map<std::uint32_t, int*> model;
    std::vector<int> targets(600);
    for (int step = 0; step < 20000; ++step) {
        const auto key = static_cast<std::uint32_t>(random() % 600);
        if (step % 7000 == 6999) { // an emptied index starts over
            index.clear();
            model.clear();
        } else if (random() % 3 == 0) {
            index.remove(key);
            model.erase(key);
        } else { // a key added again is kept with its new target
            int* const target = &targets[(key + static_cast<std::uint32_t>(step)) % 600];
            index.add(key, target);
            model[key] = target;
        }
        const auto probe = static_cast<std::uint32_t>(random() % 600);
        const auto kept = model.find(probe);
        ASSERT_EQ(index.find(probe), kept == model.end() ? nullptr : kept->second) << step;
        ASSERT_EQ(index.size(), model.size());
    }
}

// However many keys come, a free slot is left, where a search for an absent key ends.
TEST(Containers, KeyIndexNeverFillsUp) {
    KeyIndex<int> index;
    int target = 0;
    for (std::uint32_t key = 0; key < 300; ++key) {
        index.add(key, &target);
        ASSERT_EQ(index.find(key + 100'000), nullptr) << key;
    }
}

TEST(Containers, ArrayReadsBackToFrontAndCopiesInLogicalOrder) {
    Array<int> a(3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(a[i], 0); // elements start zeroed
        a[i] = i + 1;
    }
    a.reversed = 1;
    EXPECT_EQ((std::vector<int>{a[0], a[1], a[2]}), (std::vector<int>{3, 2, 1}));
    Array<int> b(a);
    EXPECT_EQ(b.reversed, 0);
    EXPECT_EQ((std::vector<int>{b.data[0], b.data[1], b.data[2]}), (std::vector<int>{3, 2, 1}));
    b[0] = 99; // separate storage
    EXPECT_EQ(a[0], 3);
}

TEST(ContainersDeath, BadIndexOrSizeEndsTheProcessWithTheFixedLines) {
    List<int> list;
    list.insertTail(1);
    const char* listLine =
        "^Errore nel metodo List<T>::operator\\[\\]\\(T\\): indice fuori limite\n$";
    EXPECT_FATAL_OUTPUT(list[1], listLine);
    EXPECT_FATAL_OUTPUT(list[-1], listLine);

    Array<int> a(3);
    const char* arrayLine =
        "^Errore nella funzione Array::operator\\[\\]\\(int\\)\nIndice fuori limite\n$";
    EXPECT_FATAL_OUTPUT(a[3], arrayLine);
    EXPECT_FATAL_OUTPUT(a[-1], arrayLine);
    a.reversed = 1; // the check is on the logical index, whatever the direction
    EXPECT_FATAL_OUTPUT(a[3], arrayLine);
    EXPECT_FATAL_OUTPUT(Array<int> bad(-1), "^Errore nella funzione Array::Array\n$");
    // A window shows the line as well, after it is written, under the program's name.
    setMessageHook([](const std::string& caption, const std::string& text) {
        std::fprintf(stderr, "[%s] %s\n", caption.c_str(), text.c_str());
    });
    EXPECT_FATAL_OUTPUT(list[1], "^Errore nel metodo List<T>::operator\\[\\]\\(T\\): indice fuori "
                                 "limite\n\\[Tessaro\\] Errore nel metodo");
    setMessageHook(nullptr);
}

} // namespace
} // namespace tessaro
